# kelbrinctl: checking group files, showing, exporting, importing, verifying and backing up
# what a store keeps, and its change log.
store: ../../examples/device.json

test: check lists every rule a file breaks, with line, column, name and cause
file bad.json: {"groups": [{"group": "root.Net", "items": [
file bad.json:   {"parameter": "Port", "value": "x", "pattern": "[0-9]+"},
file bad.json:   {"parameter": "Host name"},
file bad.json:   {"parameter": "Mode", "patern": "a|b"},
file bad.json:   {"parameter": "Re", "pattern": "[a"},
file bad.json:   {"parameter": "Alias", "mapTo": "root.Net.Nothing"},
file bad.json:   {"parameter": "Flag", "value": true},
file bad.json:   {"parameter": "Port"},
file bad.json:   {"parameter": "Tree", "tree": [1.5]}]}],
file bad.json:  "templates": [{"template": "t", "parent": "root.Missing", "max": "3"},
file bad.json:   {"template": "u", "parent": "root.Net", "max": 0, "items": [{"parameter": "L", "mapTo": "root.Net.Port"}]}]}
ctl: check bad.json
err: bad.json:2:3: root.Net.Port: default "x" does not match the pattern "[0-9]+"
err: bad.json:3:3: root.Net.Host name: "Host name" is not a valid name: use letters, digits and underscores
err: bad.json:4:3: root.Net.Mode: unknown key "patern"; did you mean "pattern"?
err: bad.json:5:3: root.Net.Re: pattern "[a" does not compile: Unmatched [, [^, [:, [., or [=
err: bad.json:6:3: root.Net.Alias: maps to root.Net.Nothing, which is not declared
err: bad.json:7:3: root.Net.Flag: "value" must be a text or a whole number, not true
err: bad.json:8:3: root.Net.Port: declared twice (first on line 2)
err: bad.json:9:3: root.Net.Tree: a tree holds only texts, whole numbers, null, lists and objects
err: bad.json:10:16: template t: "max" must be a whole number from -2147483648 to 2147483647, not "3"
err: bad.json:10:16: template t: parent root.Missing is not declared
err: bad.json:11:3: template u: "max" must be at least 1, not 0
err: bad.json:11:63: template u, parameter L: "mapTo" is not allowed in a template
status: 1
run: --nolog readgroupfile bad.json
err: Error -18 reading file 'bad.json' into kelbrin!
err: Failed to read groupfile 'bad.json'
status: 1

test: check warns of two parameters written as one SCRIPT and PHP variable, and still passes
file a.json: {"groups": [{"group": "root.Net_Wan", "items": [{"parameter": "IP"}, {"parameter": "T", "tree": []}]}]}
file b.json: {"groups": [{"group": "root.Net", "items": [{"parameter": "Wan_IP"}, {"parameter": "Wan_T", "tree": []}]},
file b.json:  {"group": "root.Net_Wan", "items": [{"parameter": "IP"}]}]}
ctl: check a.json b.json
err: b.json:1:45: root.Net.Wan_IP: warning: the SCRIPT and PHP outputs write it as root_Net_Wan_IP, as they do root.Net_Wan.IP (a.json:1:49)

test: check shortens a long default in its message, never inside a character
file long.json: {"groups": [{"group": "root.N", "items": [{"parameter": "P", "value": "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaé!", "pattern": "[0-9]+"}]}]}
ctl: check long.json
err: long.json:1:43: root.N.P: default "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa... does not match the pattern "[0-9]+"
status: 1

test: check reads files in order, as loading them one after another would, and touches no store
file a.json: {"groups": [{"group": "root.A", "items": [{"parameter": "x"}]}]}
file b.json: {"groups": [{"group": "root.B", "items": [{"parameter": "y", "mapTo": "root.A.x"}]}],
file b.json:  "templates": [{"template": "t", "parent": "root.A"}]}
file c.json: {"groups": [{"group": "root.A.x.w"}, {"group": "root.B.y"}]}
file d.json: {"groups": [{"group": "root.A", "items": [
file d.json:   {"parameter": "x"}, {"parameter": "x"}]}]}
ctl: KELBRIN_STORE=nowhere/store.db check a.json b.json
sh: test -e nowhere || echo no store
out: no store
ctl: check b.json a.json c.json d.json
err: b.json:1:43: root.B.y: maps to root.A.x, which is not declared
err: b.json:2:16: template t: parent root.A is not declared
err: c.json:1:13: root.A.x.w: lies under root.A.x, which is a plain parameter in a.json:1:43
err: c.json:1:38: root.B.y: declared here as a group, but it is a plain parameter in b.json:1:43
err: d.json:2:23: root.A.x: declared twice (first on line 2)
status: 1

test: check gives a JSON error's line and column, and goes on to the next file
file comma.json: {"groups": [
file comma.json:   {"group": "root.A"},
file comma.json: ]}
file brace.json: {"groups": [{"group": "root.A"}]
ctl: check comma.json brace.json missing.json
err: comma.json:3:1: syntax error while parsing value - unexpected ']'; expected '[', '{', or a literal
err: brace.json:2:1: syntax error while parsing object - unexpected end of input; expected '}'
err: missing.json: cannot read the file: No such file or directory
status: 1

test: nesting deeper than 200 levels is the one problem of its file, where it begins, even after a syntax error
sh: deep=$(printf '%0200d' 0 | tr 0 '[') && printf '{"groups": [{"group": "root.A", "items": [{"parameter": "x y"}]}],\n"x": %s' "$deep" >deep.json && printf '{"groups": [],,\n"x": %s' "$deep" >after.json && kelbrinctl check deep.json after.json
err: deep.json:2:205: nested deeper than 200 levels
err: after.json:2:205: nested deeper than 200 levels
status: 1

test: a file is read as it streams: a group may name itself after its items, keys after the items are checked, an export's origin comes before them, and a syntax error stands alone
file order.json: {"groups": [{"items": [{"parameter": "A", "value": "1"},
file order.json:    {"items": [{"parameter": "B x"}], "group": "Sub"}], "group": "root.Late"},
file order.json:   {"group": "root.Dyn", "items": [{"parameter": "C", "value": 2}], "template": "t", "number": 1, "colour": 1}],
file order.json:  "templates": [{"template": "t", "parent": "root", "prefix": "D"}]}
file broken.json: {"groups": [{"group": "root.B", "items": [{"parameter": "x y"},
file broken.json:    {"parameter": "Ok", "value": 1}}]}
ctl: check order.json broken.json
err: order.json:2:15: root.Late.Sub.B x: "B x" is not a valid name: use letters, digits and underscores
err: order.json:3:3: root.Dyn: unknown key "colour"
err: order.json:3:3: root.Dyn: "template" and "number" must come before "items"
err: broken.json:2:35: syntax error while parsing array - unexpected '}'; expected ']'
status: 1
file late.json: {"groups": [{"group": "root.L", "items": [], "formerly": ["root.Was"]}]}
ctl: check late.json
err: late.json:1:13: root.L: "formerly" must come before "items"
status: 1

test: show a parameter: its value, pattern, levels and access text; or that it is unknown
ctl: show root.network.hostname
out: name:            root.Network.HostName
out: kind:            parameter
out: value:           "sproutwarden"
out: default:         "sproutwarden"
out: pattern:         [A-Za-z0-9][A-Za-z0-9-]{0,62}
out: read level:      0
out: write level:     0
out: access control:  admin:rw
ctl: --store store.db show root.Network.Nope
err: kelbrinctl: show: no parameter or group root.Network.Nope in store store.db
status: 1

test: show a mapped parameter with its target's value, and a complex value as JSON
sh: kelbrinctl show root.Network.Name | sed -n 2,4p && kelbrinctl show root.Climate.Zones | sed -n 2,3p
out: kind:            mapped parameter
out: maps to:         root.Network.HostName
out: value:           "sproutwarden"
out: kind:            complex parameter
out: value:           {"mode":"auto","vents":["roof","side"],"schedule":{"start":"06:00","count":3}}

test: show a template's groups against its maximum, and a template parameter's default
run: addgroup root.Badge badge
out: root.Badge.B0
run: set root.Badge.B0.CardNumber 42
ctl: show root.Badge
out: name:            root.Badge
out: kind:            group
out: parameters:      2
out: groups:          1
out: template for:    badge (prefix "B"): 1 of at most 8
sh: kelbrinctl show root.Badge.B0.CardNumber --json | sed -n '4,5p;9,10p'
out:   "value": "42",
out:   "default": "0",
out:   "template": "badge"
out: }

test: a missing store or folder is an error that names the path, and is not created
ctl: --store none.db show root
err: kelbrinctl: store none.db does not exist; this command does not create one
status: 1
sh: test -e none.db || echo no store
out: no store
ctl: KELBRIN_STORE=nowhere/store.db show root
err: kelbrinctl: store nowhere/store.db: folder nowhere: No such file or directory
status: 1

test: a file that is not a store is left as it was
file text.db: not a store
ctl: --store text.db backup copy.db
err: kelbrinctl: store text.db: file is not a database
has text.db: not a store
status: 1
sh: sqlite3 other.db 'CREATE TABLE t(a); PRAGMA user_version = 4' && md5sum other.db > sum
ctl: --store other.db show root
err: kelbrinctl: store other.db is not a parameter store but another program's database; it was left as it was
status: 1
ctl: export -o mine.json
ctl: --store other.db import mine.json
err: kelbrinctl: store other.db: the file is not a parameter store but another program's database or file; it was left as it was
status: 1
run: KELBRIN_STORE=other.db --nolog get root.Network.HostName
err: #Error -31 getting parameter 'root.Network.HostName'!
status: 2
sh: md5sum -c sum && ls other.db*
out: other.db: OK
out: other.db
sh: : > empty.db
ctl: --store empty.db show root
err: kelbrinctl: store empty.db is an empty file: a new store that nothing has been loaded into
status: 1
file bad.json: {"groups": [{"group": "root.A"}, {"group": "root.A b"}]}
ctl: --store empty.db import bad.json
err: bad.json:1:34: root.A b: "root.A b" is not a full group name: "root" and components of letters, digits and underscores, joined by dots
err: kelbrinctl: import: bad.json has 1 problem; the store was not changed
status: 1
run: KELBRIN_STORE=empty.db --nolog readgroupfile bad.json
err: Error -18 reading file 'bad.json' into kelbrin!
err: Failed to read groupfile 'bad.json'
status: 1
sh: wc -c < empty.db && ls empty.db*
out: 0
out: empty.db
ctl: --store empty.db import mine.json
sh: KELBRIN_STORE=empty.db kelbrinclient get root.Network.HostName
out: "sproutwarden"

test: a read of a missing store reports the name unknown and makes no file; a load makes it, with no permission for others
run: KELBRIN_STORE=typo.db --nolog get root.Network.HostName
err: #Error -2 getting parameter 'root.Network.HostName'!
status: 2
absent: typo.db
sh: umask 022 && KELBRIN_STORE=a.db kelbrinclient --nolog readgroupfile "$KELBRIN_TABLES/device.json" && stat -c '%a %n' a.db a.db-wal a.db-shm
out: 640 a.db
out: 640 a.db-wal
out: 640 a.db-shm
sh: kelbrinctl export -o e.json && umask 002 && kelbrinctl --store b.db import e.json && stat -c '%a %n' b.db
out: 660 b.db

test: backup copies the store consistently while another process writes to it
sh: i=0; while [ $i -lt 40 ]; do kelbrinclient --nolog set root.Network.DomainName d$i || exit 1; i=$((i+1)); done & kelbrinctl backup copy.db && wait $! && sqlite3 copy.db 'PRAGMA integrity_check' && KELBRIN_STORE=copy.db kelbrinclient --nolog get root.Network.DomainName | grep -cE '^"(local|d[0-9]+)"$'
out: ok
out: 1

test: backup never overwrites a file, and says why it cannot write
file copy.db: kept
ctl: backup copy.db
err: kelbrinctl: backup: copy.db exists already; give a new file
status: 1
ctl: backup nowhere/copy.db
err: kelbrinctl: backup: cannot create a file in nowhere: No such file or directory
status: 1
has copy.db: kept

test: a wrong command line; a wrong call of a command gets that command's usage
ctl: frob
err: kelbrinctl: unknown command frob
err: Try 'kelbrinctl --help'.
status: 2
ctl: export root.Network root.Climate
err: kelbrinctl: export takes at most 1 operand, not 2
err: Usage: kelbrinctl [--store PATH] export [--changed] [-o FILE] [GROUP]
status: 2
ctl: changes --since=3 --json=yes
err: kelbrinctl: changes: unknown option --json=yes
err: Usage: kelbrinctl [--store PATH] changes [--since N] [--follow] [--json]
status: 2
ctl: show root.Network root.Climate
err: kelbrinctl: show takes 1 operand, not 2
err: Usage: kelbrinctl [--store PATH] show [--json] NAME
status: 2
ctl: show -- --json
err: kelbrinctl: show: --json is not a parameter or group name (root, then components joined by dots)
status: 1

test: export, import into an empty store (sound, as verify finds) and export again give the same bytes; kelbrinclient reads both stores alike
file card.json: {"templates": [{"template": "card", "parent": "root.Badge", "prefix": "C"}]}
run: readgroupfile card.json addgroup root.Badge --number 5 badge addgroup root.Badge badge addgroup root.Badge card addgroup root.Event.Action action
out: root.Badge.B5
out: root.Badge.B0
out: root.Badge.C0
out: root.Event.Action.A0
run: set root.Badge.B5.Label front set root.Network.HostName gh-2 set root.Network.HostName gh-3
file zones.txt: [Climate]
file zones.txt: Zones.schedule {
file zones.txt: \tstart = [ "09:30" ]
file zones.txt: }
run: setparams zones.txt
sh: sqlite3 store.db "UPDATE items SET default_value = value, value = '[\"l\",[[\"s\",2,null,\"x\"]]]' WHERE name = 'root.Security.Firewall'" && kelbrinclient --nolog set root.Climate.Display.Text "$(printf 'Caf\351')"
ctl: export -o one.json
ctl: --store copy.db import one.json
ctl: --store copy.db verify
sh: kelbrinctl --store copy.db export | cmp - one.json && for s in store copy; do KELBRIN_STORE=$s.db kelbrinclient --nolog getgroup root - NAMEVALUESECTIONS getgrouplist root.Badge | sed 1d > $s.txt; done && cmp store.txt copy.txt && grep -E '"(HostName|Text|Zones|Firewall|B5)"|front' one.json | sed 's/"tree": .*"current/.../' | cut -c-104
out:         { "parameter": "HostName", "value": "sproutwarden", "current": "gh-3", "pattern": "[A-Za-z0-9][A
out:           { "parameter": "Text", "value": "Tomato house", "currentHex": "436166e9" },
out:         { "parameter": "Zones", ...": {"mode":"auto","vents":["roof","side"],"schedule":{"start":"09:30"
out:         { "parameter": "Firewall", ...Stored": ["l",[["s",2,null,"x"]]] }
out:         { "group": "B5", "template": "badge", "number": 5, "items": [
out:           { "parameter": "Label", "value": "", "current": "front" },
run: --nolog readgroupfile one.json
err: Error -18 reading file 'one.json' into kelbrin!
err: Failed to read groupfile 'one.json'
status: 1

test: export writes a UTF-8 value as text; other bytes (surrogates, past U+10FFFF) as hex
sh: for v in 'Caf\303\251' '\364\217\277\277' '\355\240\200' '\364\220\200\200'; do kelbrinclient --nolog set root.Climate.Display.Text "$(printf "$v")" && kelbrinctl export root.Climate.Display | sed -n 's/.*"Tomato house", //p'; done
out: "current": "Café" },
out: "current": "\xf4\x8f\xbf\xbf" },
out: "currentHex": "eda080" },
out: "currentHex": "f4908080" },

test: export writes a tree in the group file's form where that gives back the same tree, else in the stored form
sh: for v in '["h",[["a",["s",0,null,null]],["b",["l",[["s",1,null,-7],["s",3,"string","q\""]]]]]]' '["h",[["a",["s",0,null,null]],["a",["s",0,null,null]]]]' '["l",[["s",3,"int","7"]]]' '["l",[["s",2,"string","x"]]]'; do sqlite3 store.db "UPDATE items SET value = '$v' WHERE name = 'root.Climate.Zones'" && kelbrinctl export root.Climate | grep -o '"Zones".*'; done
out: "Zones", "tree": {"a":null,"b":[-7,"q\\""]} },
out: "Zones", "treeStored": ["h",[["a",["s",0,null,null]],["a",["s",0,null,null]]]] },
out: "Zones", "treeStored": ["l",[["s",3,"int","7"]]] },
out: "Zones", "treeStored": ["l",[["s",2,"string","x"]]] },

test: export refuses a damaged complex value (a node whose parts do not fit its kind) and names it
sh: sqlite3 store.db "UPDATE items SET value = '[\"h\",3,\"string\",\"x\"]' WHERE name = 'root.Climate.Zones'"
ctl: export -o out.json
err: kelbrinctl: root.Climate.Zones: the complex value does not read back (see verify)
status: 1
absent: out.json

test: import checks the whole export first, lists every problem with its place, and changes no store
file bad.json: {"groups": [{"group": "root", "items": [
file bad.json:   {"parameter": "A", "value": "1", "current": 2},
file bad.json:   {"parameter": "B", "value": "1", "currentHex": "zz"},
file bad.json:   {"parameter": "C", "treeStored": ["s", 9]},
file bad.json:   {"parameter": "D", "tree": [], "current": [1.5]},
file bad.json:   {"group": "B0", "template": "badge", "number": -1},
file bad.json:   {"group": "B1", "template": "nothing", "number": 1},
file bad.json:   {"group": "A"}]}],
file bad.json:  "templates": [{"template": "badge", "parent": "root.Gone", "items": [{"parameter": "L", "current": "x"}]}]}
ctl: --store new.db import bad.json
err: bad.json:2:3: root.A: "current" must be a text, not 2
err: bad.json:3:3: root.B: "currentHex" must be pairs of hex digits, not "zz"
err: bad.json:4:3: root.C: "treeStored" is not a tree in the store's form
err: bad.json:5:3: root.D: "current": a tree holds only texts, whole numbers, null, lists and objects
err: bad.json:6:3: root.B0: "number" must be at least 0, not -1
err: bad.json:7:3: root.B1: template "nothing" is not declared in this file
err: bad.json:8:3: root.A: declared as a group and as a parameter (first on line 2)
err: bad.json:9:16: template badge: parent root.Gone is not declared
err: bad.json:9:71: template badge, parameter L: unknown key "current"
err: kelbrinctl: import: bad.json has 9 problems; the store was not changed
status: 1
sh: test -e new.db || echo no store
out: no store
ctl: export -o before.json
ctl: --store store.db import before.json
err: kelbrinctl: import: store store.db is not empty (65 groups and parameters, 2 templates); import --replace FILE replaces all of it
status: 1
file comma.json: {"groups": [],}
ctl: import --replace comma.json
err: comma.json:1:15: syntax error while parsing object key - unexpected '}'; expected string literal
err: kelbrinctl: import: comma.json has 1 problem; the store was not changed
status: 1
sh: kelbrinctl export | cmp - before.json && echo unchanged
out: unchanged

test: changes: sequence number, time, name and a plain value's first 256 bytes; when older ones are gone, says so
run: set root.Network.HostName gh-2 addgroup root.Badge badge set root.Climate.Display.Text "a\"b"
out: root.Badge.B0
sh: sqlite3 store.db 'DELETE FROM changes WHERE sequence < 52'
ctl: changes --since 50
err: kelbrinctl: changes: the changes after 50 up to 51 are no longer kept; the oldest kept is 52
out: 52 2023-11-14T22:13:20Z root.Badge.B0
out: 53 2023-11-14T22:13:20Z root.Climate.Display.Text "a\\"b"
status: 1
ctl: changes --since 52 --json
out: {"sequence":53,"time":"2023-11-14T22:13:20Z","name":"root.Climate.Display.Text","value":"a\\"b"}
sh: kelbrinclient --nolog set root.Network.DomainName "$(printf '%0300d' 7)" && kelbrinctl changes --since 53 | sed 's/.* "\(0*\)"$/\1/' | tr -d '\n' | wc -c
out: 256

test: changes --follow prints what another process changes, until interrupted
sh: kelbrinctl changes --follow > seen.txt & sleep 2; kelbrinclient --nolog set root.Network.HostName gh-9; i=0; until grep -q gh-9 seen.txt || [ $i = 50 ]; do sleep 0.2; i=$((i+1)); done; kill -INT $! && wait $!; echo status $?; cut -d' ' -f3- seen.txt
out: status 0
out: root.Network.HostName "gh-9"

test: the change log keeps about 1 MiB of entries, dropping the oldest
sh: awk 'BEGIN { printf "{\"groups\": [{\"group\": \"root.Big\", \"items\": ["; for (i = 0; i < 5000; i++) printf "%s{\"parameter\": \"P%d\", \"value\": \"%0250d\"}", i ? "," : "", i, i; print "]}]}" }' > big.json && kelbrinclient --nolog readgroupfile big.json && sqlite3 store.db 'SELECT min(sequence) > 1000, max(log_end) - min(log_end) BETWEEN 1048576 - 300 AND 1048576 + 100 * 300 FROM changes'
out: 1|1

test: verify finds nothing in a sound store (a dynamic group in it too), and lists what is planted in one
run: addgroup root.Badge badge
out: root.Badge.B0
ctl: verify
sh: sqlite3 store.db "UPDATE items SET value = '12' WHERE name = 'root.Network.eth0.MTU'; UPDATE items SET value = '[\"s\"' WHERE name = 'root.Climate.Zones'; DELETE FROM items WHERE name = 'root.Time.NTP'; DELETE FROM templates WHERE name = 'badge'; UPDATE items SET map_to = 'root.Network' WHERE name = 'root.Network.Name'"
ctl: verify
out: root.Network.Name: maps to root.Network, which is a group
out: root.Network.eth0.MTU: value "12" does not match the pattern "[0-9]{3,5}"
out: root.Climate.Zones: its complex value does not read back
out: root.Time.NTP.Server: its parent group is missing
out: root.Time.NTP.Enabled: its parent group is missing
out: root.Time.NTP.Interval: its parent group is missing
out: root.Badge.B0: a dynamic group whose template is gone
status: 1
sh: sqlite3 store.db "DELETE FROM items WHERE name LIKE 'root.Time.NTP.%' OR name LIKE 'root.Badge.B0%' OR name = 'root.Climate.Zones'; UPDATE items SET map_to = '' WHERE name = 'root.Network.Name'"
sh: kelbrinctl --store store.db verify --json | sed -n '2p;5,6p;9p'
out:   "store": "store.db",
out:       "name": "root.Network.eth0.MTU",
out:       "cause": "value \\"12\\" does not match the pattern \\"[0-9]{3,5}\\""
out:   "warnings": []

test: verify warns of values the PHP or FORM output would not carry safely, and still passes
run: set root.Network.DomainName "it's \$5 & up" set root.Network.eth0.IPAddress '$'
ctl: verify
out: root.Network.DomainName: warning: holds $, which the PHP output does not carry safely
out: root.Network.DomainName: warning: holds ', which the FORM output does not carry safely
out: root.Network.DomainName: warning: holds &, which the FORM output does not carry safely
out: root.Network.eth0.IPAddress: warning: holds $, which the PHP output does not carry safely
sh: kelbrinctl verify --json | tail -n 7
out:     {
out:       "name": "root.Network.eth0.IPAddress",
out:       "output": "PHP",
out:       "character": "$"
out:     }
out:   ]
out: }

test: check refuses what a later call would: a circle of mappings, a default over 256 KiB
file loop.json: {"groups": [{"group": "root.L", "items": [
file loop.json:   {"parameter": "A", "mapTo": "root.L.B"},
file loop.json:   {"parameter": "B", "mapTo": "root.L.A"}]}]}
sh: awk 'BEGIN { printf "{\"groups\": [{\"group\": \"root.Big\", \"items\": [{\"parameter\": \"D\", \"value\": \"%0262145d\"}]}]}\n", 0 }' > big.json
ctl: check loop.json big.json
err: loop.json:2:3: root.L.A: its mappings go round in a circle, or on for more than 8 steps
err: loop.json:3:3: root.L.B: its mappings go round in a circle, or on for more than 8 steps
err: big.json:1:45: root.Big.D: default is longer than 256 KiB
status: 1

test: import refuses an export whose current value breaks its pattern, or with more dynamic groups than the template's maximum
file exp.json: {"groups": [{"group": "root.E", "items": [
file exp.json:   {"parameter": "Port", "value": "80", "pattern": "[0-9]+", "current": "eighty"},
file exp.json:   {"group": "G0", "template": "g", "number": 0},
file exp.json:   {"group": "G1", "template": "g", "number": 1},
file exp.json:   {"group": "G2", "template": "g", "number": 2}]}],
file exp.json:  "templates": [{"template": "g", "parent": "root.E", "prefix": "G", "max": 2}]}
ctl: export -o before.json
ctl: import --replace exp.json
err: exp.json:2:3: root.E.Port: current value "eighty" does not match the pattern "[0-9]+"
err: exp.json:5:3: root.E.G2: one group more than template g allows (at most 2)
err: kelbrinctl: import: exp.json has 2 problems; the store was not changed
status: 1
sh: kelbrinctl export | cmp - before.json && echo unchanged
out: unchanged

test: changes withholds every value of a parameter with a read level, keeping its name and time
file pw.json: {"groups": [{"group": "root.Pw", "items": [{"parameter": "Admin", "value": "first", "readLevel": 100}, {"parameter": "Open", "value": "o"}]}]}
sh: kelbrinclient --nolog readgroupfile pw.json set root.Pw.Admin s3cret set root.Pw.Open p && kelbrinctl changes | tail -n 4 | cut -d' ' -f3-
out: root.Pw.Admin withheld
out: root.Pw.Open "o"
out: root.Pw.Admin withheld
out: root.Pw.Open "p"
sh: kelbrinctl changes --json | tail -n 2 | head -n 1 | cut -d, -f3-; sqlite3 store.db "SELECT count(*) FROM changes WHERE value IN ('first', 's3cret')"
out: "name":"root.Pw.Admin","value":null,"withheld":true}
out: 0

test: a damaged store: verify and the other commands give SQLite's reason and the store's path
sh: sqlite3 store.db 'PRAGMA wal_checkpoint(TRUNCATE)' >/dev/null && for at in 1024 5120 9216; do printf '\377\377\377\377\377\377\377\377' | dd of=store.db bs=1 seek=$at conv=notrunc 2>/dev/null; done
ctl: --store store.db export -o e.json
err: kelbrinctl: export: store store.db: database disk image is malformed
status: 1
sh: kelbrinctl --store store.db verify | tail -n 1
out: store store.db: cannot be read through: database disk image is malformed
