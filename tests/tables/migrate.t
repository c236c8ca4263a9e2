# kelbrinctl migrate, export --changed and import --merge: a store brought to
# a new release's group files, keeping what the user set.
store: -

test: migrate: a value at its old default follows, a user's value the new pattern refuses is reset, what is gone is removed
file old.json: {"groups": [{"group": "root.M", "items": [
file old.json:   {"parameter": "A", "value": "a1"}, {"parameter": "B", "value": "b1"},
file old.json:   {"parameter": "C", "value": "c1"}, {"parameter": "Gone", "value": "g"}]}]}
file new.json: {"groups": [{"group": "root.M", "items": [
file new.json:   {"parameter": "A", "value": "a2"}, {"parameter": "B", "value": "b2", "pattern": "b[0-9]"},
file new.json:   {"parameter": "C", "value": "c2", "pattern": "[a-z0-9]+"}, {"parameter": "New", "value": "n"}]}]}
run: --nolog readgroupfile old.json set root.M.B user set root.M.C mine
ctl: migrate new.json
out: follow root.M.A "a1" "a2"
out: reset root.M.B "user" "b2"
out: add root.M.New "n"
out: remove root.M.Gone
run: getgroup root.M
out: root.M.A="a2"
out: root.M.B="b2"
out: root.M.C="mine"
out: root.M.New="n"
ctl: verify
ctl: migrate new.json
ctl: migrate --json old.json
out: {"action":"follow","name":"root.M.A","old":"a2","new":"a1"}
out: {"action":"follow","name":"root.M.B","old":"b2","new":"b1"}
out: {"action":"add","name":"root.M.Gone","new":"g"}
out: {"action":"remove","name":"root.M.New"}
run: get root.M.C
out: "mine"
file fix.json: {"groups": [{"group": "root.M", "items": [{"parameter": "A", "value": "a3"}]}]}
ctl: migrate new.json fix.json
out: follow root.M.A "a1" "a3"
out: follow root.M.B "b1" "b2"
out: add root.M.New "n"
out: remove root.M.Gone

test: migrate: a complex value the user set is kept, one at its default follows; a kind that changes is declared anew; an undeclared group above stays
file old.json: {"groups": [{"group": "root.Box.K", "items": [
file old.json:   {"parameter": "Mine", "tree": {"a": 1}, "current": {"b": "user"}}, {"parameter": "Kept", "tree": [1]},
file old.json:   {"parameter": "Flip", "value": "plain"}, {"group": "Sub", "items": [{"parameter": "x"}]}]}]}
file new.json: {"groups": [{"group": "root.Box.K", "items": [
file new.json:   {"parameter": "Mine", "tree": {"a": 2}}, {"parameter": "Kept", "tree": [2]},
file new.json:   {"parameter": "Flip", "tree": ["now"]}, {"parameter": "Sub", "value": "s"}]}]}
ctl: import old.json
ctl: migrate new.json
out: follow root.Box.K.Kept
out: remove root.Box.K.Flip
out: add root.Box.K.Flip
out: remove root.Box.K.Sub
out: add root.Box.K.Sub "s"
sh: kelbrinctl export root.Box.K | grep parameter
out:       { "parameter": "Mine", "tree": {"a":2}, "current": {"b":"user"} },
out:       { "parameter": "Kept", "tree": [2] },
out:       { "parameter": "Flip", "tree": ["now"] },
out:       { "parameter": "Sub", "value": "s" }

test: migrate: dynamic groups keep their numbers and follow their template; a lowered maximum keeps the lowest numbers
file old.json: {"groups": [{"group": "root.Bay"}],
file old.json:  "templates": [{"template": "tray", "parent": "root.Bay", "prefix": "T", "items": [
file old.json:   {"parameter": "Crop", "value": "none"}, {"parameter": "Water", "value": "1"}, {"parameter": "Old", "value": "o"}]}]}
file new.json: {"groups": [{"group": "root.Bay"}],
file new.json:  "templates": [{"template": "tray", "parent": "root.Bay", "prefix": "T", "max": 2, "items": [
file new.json:   {"parameter": "Crop", "value": "empty"}, {"parameter": "Water", "value": "2", "pattern": "[0-9]"},
file new.json:   {"parameter": "Light", "value": "on"}]}]}
run: --nolog readgroupfile old.json addgroup root.Bay --number 7 tray addgroup root.Bay --number 3 tray addgroup root.Bay --number 5 tray
out: root.Bay.T7
out: root.Bay.T3
out: root.Bay.T5
run: --nolog set root.Bay.T3.Crop basil set root.Bay.T5.Water 10
ctl: export -o before.json
ctl: migrate --dry-run new.json
out: follow root.Bay.T3.Water "1" "2"
out: add root.Bay.T3.Light "on"
out: follow root.Bay.T5.Crop "none" "empty"
out: reset root.Bay.T5.Water "10" "2"
out: add root.Bay.T5.Light "on"
out: remove root.Bay.T3.Old
out: remove root.Bay.T5.Old
out: remove root.Bay.T7
sh: kelbrinctl export | cmp - before.json && echo unchanged
out: unchanged
sh: kelbrinctl migrate --dry-run new.json > dry.txt && kelbrinctl migrate new.json | cmp - dry.txt && echo same plan
out: same plan
run: getgroup root.Bay
out: root.Bay.T3.Crop="basil"
out: root.Bay.T3.Water="2"
out: root.Bay.T3.Light="on"
out: root.Bay.T5.Crop="empty"
out: root.Bay.T5.Water="2"
out: root.Bay.T5.Light="on"
sh: kelbrinctl migrate new.json | wc -l
out: 0

test: migrate: a renamed group takes its values and dynamic groups along, a renamed template its groups; the store keeps the former names
file old.json: {"groups": [{"group": "root.Net", "items": [{"group": "Old", "items": [
file old.json:   {"parameter": "Port", "value": "80"}, {"parameter": "Pass", "value": "p", "readLevel": 2}]}]}],
file old.json:  "templates": [{"template": "peer", "parent": "root.Net.Old", "prefix": "P", "items": [{"parameter": "Addr", "value": "-"}]}]}
file new.json: {"groups": [{"group": "root.Net", "items": [{"group": "Link", "formerly": ["root.Net.Old"], "items": [
file new.json:   {"parameter": "Port", "value": "80"}, {"parameter": "Secret", "value": "q", "readLevel": 2, "formerly": ["root.Net.Link.Pass"]}]}]}],
file new.json:  "templates": [{"template": "remote", "formerly": ["peer"], "parent": "root.Net.Link", "prefix": "R", "items": [{"parameter": "Addr", "value": "-"}]}]}
run: --nolog readgroupfile old.json set root.Net.Old.Port 8080 addgroup root.Net.Old --number 2 peer set root.Net.Old.P2.Addr 10.0.0.2
out: root.Net.Old.P2
ctl: check new.json
run: KELBRIN_STORE=other.db --nolog readgroupfile new.json
ctl: migrate new.json
out: rename root.Net.Old root.Net.Link
out: rename root.Net.Old.Pass root.Net.Link.Secret
out: follow root.Net.Link.Secret withheld
out: rename root.Net.Old.P2 root.Net.Link.R2
run: getgroup root.Net
out: root.Net.Link.Port="8080"
out: root.Net.Link.Secret="q"
out: root.Net.Link.R2.Addr="10.0.0.2"
sh: sqlite3 store.db "SELECT name, formerly FROM items WHERE formerly IS NOT NULL UNION ALL SELECT name, formerly FROM templates"
out: root.Net.Link|["root.Net.Old"]
out: root.Net.Link.Secret|["root.Net.Link.Pass"]
out: remote|["peer"]

test: a migration refused because a file has an error changes nothing
file new.json: {"groups": [{"group": "root.Network", "items": [{"parameter": "HostName", "value": "x y", "pattern": "[a-z]+"}]}]}
file other.json: {"groups": [{"group": "root.Extra", "formerly": ["Network"]}]}
sh: kelbrinclient --nolog readgroupfile "$KELBRIN_TABLES/device.json"
ctl: export -o before.json
ctl: migrate new.json other.json
err: new.json:1:49: root.Network.HostName: default "x y" does not match the pattern "[a-z]+"
err: other.json:1:13: root.Extra: "formerly" must list full names, not "Network"
err: kelbrinctl: migrate: the files have 2 problems; the store was not changed
status: 1
ctl: migrate --dry-run new.json
err: new.json:1:49: root.Network.HostName: default "x y" does not match the pattern "[a-z]+"
err: kelbrinctl: migrate: the files have 1 problem; the store was not changed
status: 1
sh: kelbrinctl export | cmp - before.json && echo unchanged
out: unchanged

test: the round trip: export --changed, a new store from the new files, import --merge gives the store that migrate gives in place
file old.json: {"groups": [{"group": "root.M", "items": [
file old.json:   {"parameter": "A", "value": "a1"}, {"parameter": "B", "value": "b1"}, {"parameter": "C", "value": "c1"},
file old.json:   {"parameter": "Gone", "value": "g"}, {"group": "Old", "items": [{"parameter": "Port", "value": "80"}]}]}],
file old.json:  "templates": [{"template": "peer", "parent": "root.M.Old", "prefix": "P", "items": [{"parameter": "Addr", "value": "-"}, {"parameter": "On", "value": "0"}]}]}
file new.json: {"groups": [{"group": "root.M", "items": [
file new.json:   {"parameter": "A", "value": "a2"}, {"parameter": "B", "value": "b2", "pattern": "b[0-9]"}, {"parameter": "C", "value": "c1"},
file new.json:   {"parameter": "New", "value": "n"}, {"group": "Link", "formerly": ["root.M.Old"], "items": [{"parameter": "Port", "value": "81"}]}]}],
file new.json:  "templates": [{"template": "remote", "formerly": ["peer"], "parent": "root.M.Link", "prefix": "R", "max": 1, "items": [{"parameter": "Addr", "value": "+"}]}]}
run: --nolog readgroupfile old.json set root.M.B user set root.M.C mine set root.M.Gone kept addgroup root.M.Old --number 4 peer addgroup root.M.Old --number 1 peer set root.M.Old.P4.Addr far
out: root.M.Old.P4
out: root.M.Old.P1
ctl: export --changed -o changed.json
sh: stat -c '%a' changed.json && grep -o '"\(group\|parameter\|template\|current\)": "[^"]*"' changed.json | paste -sd ' '
out: 600
out: "group": "root" "group": "M" "parameter": "B" "current": "user" "parameter": "C" "current": "mine" "parameter": "Gone" "current": "kept" "group": "Old" "group": "P1" "template": "peer" "group": "P4" "template": "peer" "parameter": "Addr" "current": "far" "template": "peer" "parameter": "Addr" "parameter": "On"
ctl: backup inplace.db
ctl: --store inplace.db migrate new.json
out: follow root.M.A "a1" "a2"
out: reset root.M.B "user" "b2"
out: add root.M.New "n"
out: rename root.M.Old root.M.Link
out: follow root.M.Link.Port "80" "81"
out: rename root.M.Old.P1 root.M.Link.R1
out: follow root.M.Link.R1.Addr "-" "+"
out: remove root.M.Gone
out: remove root.M.Old.P1.On
out: remove root.M.Old.P4
run: KELBRIN_STORE=fresh.db --nolog readgroupfile new.json
ctl: --store fresh.db import --merge changed.json
out: reset root.M.B "user" "b2"
out: rename root.M.Old.P1 root.M.Link.R1
out: add root.M.Link.R1.Addr "+"
out: skip root.M.Gone
out: skip root.M.Old.P4
sh: for s in inplace fresh; do KELBRIN_STORE=$s.db kelbrinclient --nolog getgroup root > $s.txt; done; cmp inplace.txt fresh.txt && cat fresh.txt
out: root.M.A="a2"
out: root.M.B="b2"
out: root.M.C="mine"
out: root.M.New="n"
out: root.M.Link.Port="81"
out: root.M.Link.R1.Addr="+"
