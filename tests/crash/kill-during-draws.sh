#!/usr/bin/env bash
# Kills the program with SIGKILL at random moments of draws and checks after
# every kill that the database still holds a consistent draw.
#   tests/crash/kill-during-draws.sh BIN_DIR [KILLS] [SEED]
# SEED (or $CRASH_SEED) makes the timings repeatable.
set -euo pipefail
. "$(dirname "$0")/../e2e/xvfb-lib.sh"
bin_dir=$1
kills=${2:-30}
RANDOM=${3:-${CRASH_SEED:-742}}

e2e_start "$bin_dir" 1920 1080
db=$E2E_DIR/config.dll

sql() { printf "PRAGMA key = 'TrueGate742';\n%s\n" "$1" | sqlcipher -batch "$db" | grep -v '^ok$' || true; }

# Black-listed and white-listed people on the copy only, so each draw has to
# honour both lists.
sql "
INSERT INTO AwardBlank (sNo, sName, sCompCode, sDartNo)
  SELECT EmpCode, EmpName, CompCode, DartNo FROM EmpNo WHERE RecNo IN (3, 50, 120, 333, 480);
INSERT INTO Award (sNo, sName, sTime, Checked, sCompCode, sDartNo)
  SELECT EmpCode, EmpName, (SELECT RecNo FROM AwardItem WHERE iSeq = 5), 0, CompCode, DartNo
  FROM EmpNo WHERE RecNo IN (10, 11);
INSERT INTO Award (sNo, sName, sTime, Checked, sCompCode, sDartNo)
  SELECT EmpCode, EmpName, (SELECT RecNo FROM AwardItem WHERE iSeq = 4), 0, CompCode, DartNo
  FROM EmpNo WHERE RecNo IN (20, 21, 22);
INSERT INTO Award (sNo, sName, sTime, Checked, sCompCode, sDartNo)
  SELECT EmpCode, EmpName, (SELECT RecNo FROM AwardItem WHERE iSeq = 3), 0, CompCode, DartNo
  FROM EmpNo WHERE RecNo IN (30);"
echo "black list: $(sql 'SELECT count(*) FROM AwardBlank;'), white list: $(sql 'SELECT count(*) FROM Award;')"

# Each query lists the rows that break one rule; empty output means it holds.
check() {
    local bad=0 out name
    while IFS='|' read -r name q; do
        out=$(sql "$q")
        if [ -n "$out" ]; then
            echo "  VIOLATION $name: $(echo "$out" | head -n5 | tr '\n' ' ')"
            bad=$((bad + 1))
        fi
    done <<'Q'
excnum|SELECT i.RecNo, i.ExcNum, (SELECT count(*) FROM AwardList l WHERE l.sTime = i.RecNo) AS n FROM AwardItem i WHERE i.ExcNum <> n;
duplicate|SELECT sNo, sCompcode, count(*) FROM AwardList GROUP BY sNo, sCompcode HAVING count(*) > 1;
blacklisted|SELECT l.sNo, l.sCompcode FROM AwardList l JOIN AwardBlank b ON b.sNo = l.sNo AND b.sCompCode = l.sCompcode;
whitelist|SELECT l.sNo, l.sCompcode, l.sTime FROM AwardList l WHERE EXISTS (SELECT 1 FROM Award a WHERE a.sNo = l.sNo AND a.sCompCode = l.sCompcode) AND NOT EXISTS (SELECT 1 FROM Award a WHERE a.sNo = l.sNo AND a.sCompCode = l.sCompcode AND a.sTime = l.sTime);
isexec|SELECT RecNo, IsExec, ExcNum, SumNumber FROM AwardItem WHERE (IsExec = 1) <> (ExcNum >= SumNumber);
integrity|PRAGMA integrity_check;
Q
    return "$bad"
}

survived=0 violations=0 resets=0
for k in $(seq "$kills"); do
    if ! e2e_launch; then echo "FAIL: the program did not start (kill $k)"; exit 1; fi
    roll=$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.2 + 1.3 * r / 32767 }')
    fix=$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 4.0 * r / 32767 }')
    e2e_key "$E2E_WINDOW" Return
    sleep "$roll"
    e2e_key "$E2E_WINDOW" Return
    sleep "$fix"
    alive=yes; kill -0 "$E2E_PID" 2>/dev/null || alive=no
    kill -9 "$E2E_PID" 2>/dev/null || true
    wait "$E2E_PID" 2>/dev/null || true
    E2E_PID=""
    [ "$alive" = yes ] || { echo "  the program had ended before the kill"; tail -n5 "$E2E_DIR/out.log"; }

    set +e; report=$(check); bad=$?; set -e
    violations=$((violations + bad))
    # A kill counts as survived when the program was still running and the
    # database it left behind keeps every rule.
    [ "$alive" = yes ] && [ "$bad" -eq 0 ] && survived=$((survived + 1))
    winners=$(sql 'SELECT count(*) FROM AwardList;')
    echo "kill $k: roll ${roll}s fix ${fix}s alive=$alive winners=$winners violations=$bad"
    [ -n "$report" ] && echo "$report"

    # Once every item is full a draw records nothing, so start the event over.
    if [ "$(sql 'SELECT count(*) FROM AwardItem WHERE ExcNum < SumNumber;')" = 0 ]; then
        sql "DELETE FROM AwardList; UPDATE AwardItem SET ExcNum = 0, IsExec = 0; UPDATE Award SET Checked = 0;"
        resets=$((resets + 1))
        echo "  event full: reset"
    fi
done
echo "kills survived: $survived, invariant violations: $violations (resets: $resets)"
[ "$violations" -eq 0 ] && [ "$survived" -eq "$kills" ]
