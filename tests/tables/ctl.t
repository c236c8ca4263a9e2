# kelbrinctl: checking group files, showing what a store keeps, backing it up.
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

test: check reads files in order, as loading them one after another would, and touches no store
file a.json: {"groups": [{"group": "root.A", "items": [{"parameter": "x"}]}]}
file b.json: {"groups": [{"group": "root.B", "items": [{"parameter": "y", "mapTo": "root.A.x"}]}],
file b.json:  "templates": [{"template": "t", "parent": "root.A"}]}
file c.json: {"groups": [{"group": "root.A.x.w"}, {"group": "root.B.y"}]}
ctl: KELBRIN_STORE=nowhere/store.db check a.json b.json
sh: test -e nowhere || echo no store
out: no store
ctl: check b.json a.json c.json
err: b.json:1:43: root.B.y: maps to root.A.x, which is not declared
err: b.json:2:16: template t: parent root.A is not declared
err: c.json:1:13: root.A.x.w: lies under root.A.x, which is a plain parameter in a.json:1:43
err: c.json:1:38: root.B.y: declared here as a group, but it is a plain parameter in b.json:1:43
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

test: show a parameter: its value, pattern, levels and access text; or that it is unknown
ctl: show root.network.hostname
out: name:            root.Network.HostName
out: kind:            parameter
out: value:           "camera-q3500"
out: pattern:         [A-Za-z0-9][A-Za-z0-9-]{0,62}
out: read level:      0
out: write level:     0
out: access control:  admin:rw
ctl: --store store.db show root.Network.Nope
err: kelbrinctl: show: no parameter or group root.Network.Nope in store store.db
status: 1

test: show a mapped parameter with its target's value, and a complex value as JSON
ctl: show root.Network.Name
out: name:            root.Network.Name
out: kind:            mapped parameter
out: maps to:         root.Network.HostName
out: value:           "camera-q3500"
out: read level:      0
out: write level:     0
ctl: show root.Image.Zones
out: name:            root.Image.Zones
out: kind:            complex parameter
out: value:           {"mode":"auto","ports":["80","443"],"schedule":{"start":"08:00","count":3}}
out: read level:      0
out: write level:     0

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
ctl: show root.Badge.B0.CardNumber --json
out: {
out:   "name": "root.Badge.B0.CardNumber",
out:   "kind": "parameter",
out:   "value": "42",
out:   "default": "0",
out:   "pattern": "[0-9]{1,10}",
out:   "readLevel": 0,
out:   "writeLevel": 0,
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
sh: sqlite3 other.db 'CREATE TABLE t(a)'
ctl: --store other.db show root
err: kelbrinctl: store other.db is not a parameter store: an empty file or another program's database
status: 1
sh: sqlite3 other.db .tables
out: t

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

test: a wrong command line
ctl: frob
err: kelbrinctl: unknown command frob
err: Try 'kelbrinctl --help'.
status: 2
