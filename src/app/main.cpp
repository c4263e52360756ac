// Tombolix: the employee lucky draw.
#include "platform/ErrorGuard.h"
#include "platform/MessageBox.h"
#include "screen/StartFrm.h"
#include "widgets/QtMessageBox.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
// Qt's own texts (the standard buttons of message boxes and dialogs) in
// Chinese, from Qt's translations.
void loadChineseTranslations(QApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_zh_CN", "qtmultimedia_zh_CN"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), dir))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}

// The event files name the fonts of the Windows desktop; an installed CJK
// font stands in for them so every Chinese text shows real glyphs.
void substituteFonts() {
    const QStringList standIns = {QStringLiteral("WenQuanYi Micro Hei"),
                                  QStringLiteral("Noto Sans CJK SC")};
    for (const char* name : {"微软雅黑", "Microsoft YaHei", "华文细黑", "STXihei", "宋体"})
        QFont::insertSubstitutions(QString::fromUtf8(name), standIns);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tombolix"));
    QApplication::setApplicationDisplayName(QStringLiteral("员工抽奖系统"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    loadChineseTranslations(app);
    substituteFonts();
    tombolix::MessageBox::setPresenter(std::make_shared<tombolix::QtMessageBoxPresenter>());

    tombolix::TStartFrm StartFrm;
    StartFrm.showOnScreen();
    return QApplication::exec();
}
