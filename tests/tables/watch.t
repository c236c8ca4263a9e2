# kelbrinctl watch: COMMAND run after changes, the changed names on its input.
# Rows wait for files with bounded loops; no row depends on how long anything takes.
# Rows that run a COMMAND start watch from sh, without the table's preload,
# which a COMMAND of another architecture (the ARM run) cannot load.
store: reset.json

test: the changes after N go to one run, each name once; --once exits with the run's outcome
# Loading the group file logged changes 1 to 5.
run: --nolog set root.Unit.Name a set root.Unit.Name b set root.Lamp.Level 7
sh: kelbrinctl watch --since 5 --once -- sh -c 'echo run; cat'
out: run
out: root.Unit.Name
out: root.Lamp.Level

test: a failing COMMAND is reported and watching goes on; what changes during a run goes to the next
# The first run blocks until the file go exists; two changes are made meanwhile.
file run.sh: cat >> got; echo run >> runs; until [ -e go ] || [ -e stop ]; do sleep 0.1; done; exit 3
sh: kelbrinctl watch --since 5 -- sh run.sh 2> err & kelbrinclient --nolog set root.Unit.Name a; w() { i=0; until grep -q "$1" "$2" 2>/dev/null || [ $i = 100 ]; do sleep 0.1; i=$((i+1)); done; }; w run runs; kelbrinclient --nolog set root.Lamp.Level 8 set root.Unit.Key k; touch go; w Key got; kill -INT $! && wait $!; echo status $?; cat got runs err
out: status 0
out: root.Unit.Name
out: root.Lamp.Level
out: root.Unit.Key
out: run
out: run
out: kelbrinctl: watch: sh exited with status 3
out: kelbrinctl: watch: sh exited with status 3

test: a change under another group does not wake it
sh: kelbrinctl watch --since 5 --once root.lamp -- sh -c 'cat > got' & kelbrinclient --nolog set root.Unit.Name a; kelbrinclient --nolog set root.Lamp.Level 3; wait $!; echo status $?; cat got
out: status 0
out: root.Lamp.Level

test: a log cut short gives the line *, meaning anything may have changed
run: --nolog set root.Unit.Name a set root.Lamp.Level 4
sh: sqlite3 store.db 'DELETE FROM changes WHERE sequence < 7'
sh: kelbrinctl watch --since 3 --once -- cat
out: *
out: root.Lamp.Level
sh: kelbrinctl watch --since 6 --once -- cat
out: root.Lamp.Level

test: the command line: -- and a command, a sequence number, group names
ctl: watch root.Lamp
err: kelbrinctl: watch: a command to run after --
err: Usage: kelbrinctl [--store PATH] watch [--since N] [--once] [GROUP...] -- COMMAND [ARG...]
status: 2
ctl: watch --since -1 -- true
err: kelbrinctl: watch: --since takes a sequence number (0 or more), not -1
err: Usage: kelbrinctl [--store PATH] watch [--since N] [--once] [GROUP...] -- COMMAND [ARG...]
status: 2
ctl: watch 'root.a b' -- true
err: kelbrinctl: watch: root.a b is not a group name (root, then components joined by dots)
status: 1
