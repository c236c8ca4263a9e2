# kelbrinctl reset: values back to their declared defaults, dynamic groups
# removed, the change log's old values dropped; one transaction.
store: reset.json

test: reset of the whole store: its plan, the defaults back, the groups gone, no old value left in the log
run: --nolog set root.Unit.Name 'x"y' set root.Unit.Key secret addgroup root.Lamp zone set root.Lamp.Z0.Label hall
out: root.Lamp.Z0
in: [Unit]
in: Plan.at {
in:   hour = [ "7" ]
in: }
run: --nolog setparams -
ctl: reset
out: reset root.Unit.Name "x\\"y" "bench-1"
out: reset root.Unit.Key withheld
out: reset root.Unit.Plan
out: remove root.Lamp.Z0
run: --nolog get root.Unit.Name - VALUE getgrouplist root.Lamp
out: "bench-1"
err: #No groups for group 'root.Lamp'!
status: 2
# The log keeps no value the reset replaced: only root.Lamp.Level's and the reset's own.
sh: kelbrinctl changes > log; grep -c '"' log; tail -n 4 log | cut -d' ' -f3-
out: 2
out: root.Unit.Name "bench-1"
out: root.Unit.Key withheld
out: root.Unit.Plan
out: root.Lamp.Z0
ctl: reset
status: 0

test: --dry-run prints the plan and changes nothing
run: --nolog set root.Lamp.Level 7 addgroup root.Lamp zone
out: root.Lamp.Z0
ctl: reset --dry-run
out: reset root.Lamp.Level "7" "5"
out: remove root.Lamp.Z0
run: --nolog get root.Lamp.Level - VALUE getgrouplist root.Lamp - RAW
out: "7"
out: Z0

test: named items only; --keep-groups resets a group's parameters to its template's defaults
run: --nolog set root.Unit.Name n2 addgroup root.Lamp zone set root.Lamp.Z0.Label hall set root.Lamp.Level 8
out: root.Lamp.Z0
ctl: reset --dry-run --json --keep-groups root.LAMP
out: {"action":"reset","name":"root.Lamp.Level","old":"8","new":"5"}
out: {"action":"reset","name":"root.Lamp.Z0.Label","old":"hall","new":""}
ctl: reset --keep-groups root.LAMP
out: reset root.Lamp.Level "8" "5"
out: reset root.Lamp.Z0.Label "hall" ""
run: --nolog get root.Unit.Name - VALUE getgrouplist root.Lamp - RAW
out: "n2"
out: Z0
ctl: reset root.Lamp.Z0.Label root.Lamp.Z0
out: remove root.Lamp.Z0

test: a name that is no item, or a mapping, ends the reset before anything changes
run: --nolog set root.Unit.Name n3
ctl: --store store.db reset root.Unit root.Nothing
err: kelbrinctl: reset: no parameter or group root.Nothing in store store.db
status: 1
ctl: reset root.Unit.Alias
err: kelbrinctl: reset: root.Unit.Alias maps to root.Unit.Name; reset that parameter
status: 1
run: --nolog get root.Unit.Name
out: "n3"
