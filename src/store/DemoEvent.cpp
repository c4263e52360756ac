#include "platform/Database.h"
#include "store/DrawDatabase.h"

#include <QStringList>
#include <random>

namespace tombolix {

namespace {
// Fictional people: surnames and given names combined at random.
const QStringList kSurnames = {
    QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"), QStringLiteral("刘"),
    QStringLiteral("陈"), QStringLiteral("杨"), QStringLiteral("赵"), QStringLiteral("黄"),
    QStringLiteral("周"), QStringLiteral("吴"), QStringLiteral("徐"), QStringLiteral("孙"),
    QStringLiteral("胡"), QStringLiteral("朱"), QStringLiteral("高"), QStringLiteral("林"),
    QStringLiteral("何"), QStringLiteral("郭"), QStringLiteral("马"), QStringLiteral("罗")};
const QStringList kGiven = {
    QStringLiteral("伟"),   QStringLiteral("芳"),   QStringLiteral("娜"),   QStringLiteral("敏"),
    QStringLiteral("静"),   QStringLiteral("丽"),   QStringLiteral("强"),   QStringLiteral("磊"),
    QStringLiteral("军"),   QStringLiteral("洋"),   QStringLiteral("勇"),   QStringLiteral("艳"),
    QStringLiteral("杰"),   QStringLiteral("娟"),   QStringLiteral("涛"),   QStringLiteral("明"),
    QStringLiteral("超"),   QStringLiteral("秀英"), QStringLiteral("霞"),   QStringLiteral("平"),
    QStringLiteral("刚"),   QStringLiteral("桂英"), QStringLiteral("建华"), QStringLiteral("晓东"),
    QStringLiteral("海燕"), QStringLiteral("志强"), QStringLiteral("雪梅"), QStringLiteral("子涵")};
const QStringList kCompanies = {QStringLiteral("总部"), QStringLiteral("华东工厂"),
                                QStringLiteral("华南工厂"), QStringLiteral("研发中心")};
const QStringList kDepartments = {QStringLiteral("生产部"), QStringLiteral("品质部"),
                                  QStringLiteral("财务部"), QStringLiteral("人事行政部"),
                                  QStringLiteral("销售部"), QStringLiteral("技术部"),
                                  QStringLiteral("采购部")};

struct DemoItem {
    const char* name;
    const char* prize;
    int total;
    int perDraw;
};
// Drawn from the small prizes up to the grand prize.
const DemoItem kItems[] = {{"幸运奖", "保温杯", 20, 10},
                           {"三等奖", "蓝牙耳机", 10, 5},
                           {"二等奖", "平板电脑", 5, 5},
                           {"一等奖", "笔记本电脑", 3, 3},
                           {"特等奖", "海南双人游", 1, 1}};
} // namespace

void drawdb::fillDemoEvent(Connection& connection, int employees) {
    std::mt19937 random(20261211);
    auto pick = [&random](const QStringList& list) {
        return list[int(random() % unsigned(list.size()))];
    };
    Transaction transaction(connection);
    for (int i = 0; i < employees; ++i) {
        const QString company = kCompanies[i % kCompanies.size()];
        connection.execute(QStringLiteral("insert into EmpNo (EmpCode, EmpName, CompCode, DartNo) "
                                          "values (?, ?, ?, ?)"),
                           {QStringLiteral("%1").arg(100001 + i), pick(kSurnames) + pick(kGiven),
                            company, pick(kDepartments)});
    }
    int seq = 1;
    for (const DemoItem& item : kItems) {
        connection.execute(
            QStringLiteral("insert into AwardItem (iSeq, ItemName, Awards, SumNumber, iNumber, "
                           "IsExec, ExcNum) values (?, ?, ?, ?, ?, 0, 0)"),
            {seq++, QString::fromUtf8(item.name), QString::fromUtf8(item.prize), item.total,
             item.perDraw});
    }
    transaction.commit();
}

} // namespace tombolix
