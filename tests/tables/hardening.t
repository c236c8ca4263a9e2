# A store file that is no database, on a file system that is full or read-only: the
# store's error is reported and what the store holds is not damaged.
store: -

test: a store file that is no database is refused as no store and left as it was
file store.db: SQLite format 3\x00xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\c
run: --nolog get root.Unit.Text - VALUE set root.Unit.Text x
err: #Error -31 getting parameter 'root.Unit.Text'!
err: Error -31 setting 'root.Unit.Text' to 'x'!
err: Failed to set parameter root.Unit.Text.
has store.db: SQLite format 3\x00xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\c
status: 1

test: a full disk fails the settings that do not fit, the import goes on and the store stays sound
needs: unshare -rm true
sh: mkdir fs && awk 'BEGIN { print "[Unit]"; for (i = 0; i < 100; i++) printf "Text = %03000d\n", i }' >big && unshare -rm sh -c 'mount -t tmpfs -o size=160k tmpfs fs && export KELBRIN_STORE=fs/store.db && kelbrinclient --nolog readgroupfile "$KELBRIN_TABLES/device.json" set root.Unit.Text before && kelbrinclient --nolog setparams big 2>err; echo $?; grep -q "^Error -15 setting .root.Unit.Text. to .000" err && echo reported; kelbrinclient get root.Unit.Text - RAW | cut -c1-3 | grep -c -x -e bef -e 000; sqlite3 fs/store.db "PRAGMA integrity_check"'
out: 2
out: reported
out: 1
out: ok

test: a read-only store refuses writes and still answers reads
needs: unshare -rm true
sh: mkdir fs && unshare -rm sh -c 'mount -t tmpfs tmpfs fs && export KELBRIN_STORE=fs/store.db && kelbrinclient --nolog readgroupfile "$KELBRIN_TABLES/device.json" set root.Unit.Text before && mount -o remount,ro fs && kelbrinclient --nolog set root.Unit.Text after; echo $?; kelbrinclient get root.Unit.Text; mount -o remount,rw fs && kelbrinclient get root.Unit.Text'
out: 1
out: "before"
out: "before"
err: Error -13 setting 'root.Unit.Text' to 'after'!
err: Failed to set parameter root.Unit.Text.
