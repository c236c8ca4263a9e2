# Options, legacy words, CGI mode, the command loop, sync, set, readgroupfile and deletegroup.
store: device.json

test: no arguments, or a bad option: the message, the 763 bytes of usage on stderr, status 1; syslog opened with argument zero, the process id, facility user
sh: for words in "" -m --port; do LD_PRELOAD=$KELBRIN_PRELOAD kelbrinclient $words 2>e; echo $? $(head -n 1 e) $(tail -n +2 e | wc -c); done
out: 1 Wrong arguments! 763
out: 1 kelbrinclient: invalid option -- 'm' 763
out: 1 kelbrinclient: option '--port' requires an argument 763
log: 4 Early exit. Bad arguments.
sh: cd "$KELBRIN_BIN" && LD_PRELOAD=$KELBRIN_PRELOAD ./kelbrinclient --nolog
err: Command expected!
log: openlog ./kelbrinclient 1 8
status: 1

test: sync modes and ports reach the store in the options record
sh: for words in "" "-s --port 80" "-n -p81" "--nosync --port=82" "--nosync-nosig --po 83" -o --sigonly -S --sync-nosig; do LD_PRELOAD=$KELBRIN_PRELOAD kelbrinclient $words set root.Door.Name x; done; cut -d ' ' -f 1,3,4 "$KELBRIN_CALL_LOG"
out: cli_setCustomParam port=0 sync=10
out: cli_setCustomParam port=80 sync=9
out: cli_setCustomParam port=81 sync=9
out: cli_setCustomParam port=82 sync=9
out: cli_setCustomParam port=83 sync=9
out: cli_setCustomParam port=0 sync=11
out: cli_setCustomParam port=0 sync=11
out: cli_setCustomParam port=0 sync=12
out: cli_setCustomParam port=0 sync=12

test: legacy words act before the options, wherever they stand, with one notice even under --nolog
run: --nolog -port 84 -security x -casesensitive -sigonly --port 1 -port 2 sync
err: Syncing parameters!
log: 6 Review your options since some of them are deprecated. Options start with '--' and not with '-'!\n
calls: cli_sync - port=1 sync=11 number=-1 case=1 security=0 mapped=0
run: --sync-nosig -nosync -z sync
err: Syncing parameters!
log: 6 Review your options since some of them are deprecated. Options start with '--' and not with '-'!\n
calls: cli_sync - port=0 sync=12 number=-1 case=0 security=2147483647 mapped=0

test: a legacy word among the command's words is rewritten without a notice
run: set root.Door.Name -nosync get root.Door.Name
out: "-z"
calls: cli_setCustomParam root.Door.Name port=0 sync=9 number=-1 case=0 security=2147483647 mapped=0
calls: cli_getCustomParam root.Door.Name port=0 sync=9 number=-1 case=0 security=2147483647 mapped=0

test: case, security level and mappings as the options set them
run: --nolog -C -L " 49x" --no-mapped get root.door.name - VALUE get root.Display.Pin - VALUE get root.Display.Alias
err: #Error -2 getting parameter 'root.door.name'!
err: #Error -7 getting parameter 'root.Display.Pin'!
err: #Error -2 getting parameter 'root.Display.Alias'!
status: 2
run: --nolog --casesensitive --security=+50 get root.door.name - VALUE get root.Display.Pin
err: #Error -2 getting parameter 'root.door.name'!
out: "1234"
status: 2

test: -- ends the options; an option after the first command, or an unknown command, ends the run keeping what was done
run: --nolog -- get root.Door.Name
out: "front"
run: set root.Door.Name v --nolog set root.Door.Name w
err4: Invalid command '--nolog'!
status: 1
run: get root.Door.Name - RAW frobnicate
out: v
err4: Invalid command 'frobnicate'!
status: 1

test: command names are whole words in lower case; an empty word is none; a legacy value word at the end is not read
run: --nolog sets root.Door.Name v
err: Invalid command 'sets'!
status: 1
run: --nolog SYNC
err: Invalid command 'SYNC'!
status: 1
run: --nolog ""
err: Invalid command ''!
status: 1
run: --nolog set root.Door.Name v -port
err: Invalid command '-z'!
status: 1

test: commands run in order, each taking its words, whatever they are
file lamp.json: { "groups": [ { "group": "root.Lamp" } ] }
run: addgroup root.Badge badge set root.Door.Name set sync readgroupfile lamp.json deletegroup root.Badge.B0 get root.Door.Name
out: root.Badge.B0
out: "set"
err: Syncing parameters!

test: too few words for a command: its own message, status 1
sh: for words in readgroupfile setparams upgradedynparams "set a" get getgroup "addgroup a" deletegroup "getlist a b" getgrouplist; do r=$(kelbrinclient --nolog $words 2>&1); echo "$r $?"; done
out: File name expected! 1
out: File name expected! 1
out: File name expected! 1
out: Parameter name and value expected! 1
out: Parameter name expected! 1
out: Parameter name/group expected! 1
out: Group name and template expected! 1
out: Group name expected! 1
out: List file expected! 1
out: Group name expected! 1
run: set root.Door.Name v addgroup root.Badge
err4: Group name and template expected!
status: 1

test: options without a command: a warning, logged unless --nolog; in CGI mode after the header block's end
run: --sigonly
err4: Command expected!
status: 1
run: REQUEST_METHOD=GET --nolog
out: \r
err: Command expected!
status: 1

test: CGI mode ends the header block first; --nocgi and -c keep it off
run: REQUEST_METHOD= get root.Door.Name
out: \r
out: "front"
run: REQUEST_METHOD= --nocgi get root.Door.Name
out: "front"
run: REQUEST_METHOD=GET -c get root.Door.Name
out: "front"

test: sync under --nosync fails without calling the store; the message ends in an empty line
run: --nosync sync
err: Syncing parameters!
err3: Error, tried to call sync using option --nosync!\n
err3: Could not sync.
status: 1
calls:

test: a store error in sync ends the run
fault: cli_sync 1 -7
run: sync get root.Door.Name
err: Syncing parameters!
err3: Error -7 syncing to file!\n
err3: Could not sync.
status: 1

test: readgroupfile loads a group file; its error ends the run
file lamp.json: { "groups": [ { "group": "root.Lamp", "items": [ { "parameter": "On", "value": "no" } ] } ] }
run: readgroupfile lamp.json get root.Lamp.On
out: "no"
run: readgroupfile "no file.json" get root.Lamp.On
err3: Error -16 reading file 'no file.json' into kelbrin!
err3: Failed to read groupfile 'no file.json'
status: 1
file late.json: {"groups": [{"group": "root.Lamp", "items": [{"parameter": "On"}]}, {"group": "top.X"}]}
sh: KELBRIN_STORE=new.db kelbrinclient --nolog readgroupfile late.json; ls new.db* 2>/dev/null || echo no store
err: Error -18 reading file 'late.json' into kelbrin!
err: Failed to read groupfile 'late.json'
out: no store

test: set stores name and value as given; its error ends the run
run: set root.Door.Name "a b\n%s 'q'" get root.Door.Name - RAW
out: a b\\n%s 'q'
run: set root.Display.Pin 12% get root.Door.Name
err3: Error -10 setting 'root.Display.Pin' to '12%'!
err3: Failed to set parameter root.Display.Pin.
status: 1

test: a run that wrote folds its log into the store file at exit
run: --nolog set root.Door.Name b
has store.db-wal: \c

test: a deletegroup error is reported and the run goes on to status 2, unless a later command fails
run: addgroup root.Badge badge deletegroup root.Door deletegroup root.Badge.B0 set root.Door.Name v
out: root.Badge.B0
err3: Error deleteing group 'root.Door'
status: 2
run: --nolog deletegroup root.Nope bogus
err: Error deleteing group 'root.Nope'
err: Invalid command 'bogus'!
status: 1
