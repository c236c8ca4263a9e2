# addgroup and upgradedynparams: numbers, marker lines, directory walks, a store at its limit.
store: device.json

test: addgroup requests a number or none and prints the new group's full name; a taken number is reported; the number form is only right after the group, with a number and a template
run: addgroup root.Badge --number x reader addgroup root.Badge reader addgroup root.Badge --number 5 reader addgroup root.Badge -number 12 reader addgroup root.Badge --number 5 reader
out: root.Badge.R0
out: root.Badge.R1
out: root.Badge.R5
out: root.Badge.R12
err3: Group 'root.Badge' already exists with number 5!
status: 2
fault: cli_createDynamicGroup 1 -4
run: addgroup root.Badge reader
err3: Group 'root.Badge' already exists with number -1!
status: 2
run: addgroup root.Badge reader --number 5
out: root.Badge.R2
err4: Invalid command '--number'!
status: 1
run: addgroup root.Badge reader addgroup root.Badge --number 5
out: root.Badge.R3
err4: Group number and template expected!
status: 1

test: another store error names the parent; a template at its limit is reported and the run goes on
run: addgroup root.Nowhere reader addgroup root.Badge badge addgroup root.Badge badge addgroup root.Badge reader
out: root.Badge.B0
out: root.Badge.R0
err3: Error creating group under 'root.Nowhere'!
err3: Error creating group under 'root.Badge'! (limited number allowed)
status: 2

test: as a CGI program under a web server: pages from the program, at the limit the 503 page of 314 bytes alone in the error log
sh: sh "$KELBRIN_TABLES/web_server.sh" addgroup+root.Badge+badge addgroup+root.Badge+badge
out: 200
out: root.Badge.B0
out: 200
out: HTTP/1.0 503 Service Unavailable\r
out: 314

test: a marker line names the parent, the number after a one-letter prefix, and the template up to the line's end
file m: #DO NOT REMOVE THIS LINE: root.Badge.R3 reader
file m: #DO NOT REMOVE THIS LINE:\troot.Badge.R4 reader
file m: keep: #DO NOT REMOVE THIS LINE: root.Badge.R12 reader
file m: #DO NOT REMOVE THIS LINE: root.Badge.R reader
file m: #DO NOT REMOVE THIS LINE: root.Badge.R7
file m: #DO NOT REMOVE THIS LINE:  \t root.Badge.X5 \t my reader 
file m: #DO NOT REMOVE THIS LINE: root.Badge.R6-reader
file m: #DO NOT REMOVE THIS LINE: root.Badge.X7 reader\r
file m: xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx#DO NOT REMOVE THIS LINE: root.Badge.R8 reader\c
run: upgradedynparams m
out: root.Badge.R3
out: root.Badge.R12
out: root.Badge.R0
out: root.Badge.M5
out: root.Badge.R6
out: root.Badge.C7
out: root.Badge.R8
err3: Error creating group under 'root.Badge'!

test: a file's status is that of its last marker line; a token without a group number, or a path that cannot be opened, is reported
file m: #DO NOT REMOVE THIS LINE: root.Badge.R1 nosuch
file m: #DO NOT REMOVE THIS LINE: root.Badge.R2 reader
run: --nolog upgradedynparams m
out: root.Badge.R2
err: Error creating group under 'root.Badge'!
file m: #DO NOT REMOVE THIS LINE: Badge3 reader
file m: #DO NOT REMOVE THIS LINE: root.Badge. reader
file m: #DO NOT REMOVE THIS LINE: -reader
file m: #DO NOT REMOVE THIS LINE: root.Badge.R3 reader
file m: #DO NOT REMOVE THIS LINE: root.Badge.R4 nosuch
run: upgradedynparams m
out: root.Badge.R3
err3: Invalid group 'Badge3' in a marker line of m!
err3: Invalid group 'root.Badge.' in a marker line of m!
err3: Invalid group '' in a marker line of m!
err3: Error creating group under 'root.Badge'!
status: 2
run: upgradedynparams /nonexistent/groups addgroup root.Badge reader
out: root.Badge.R0
err3: handle_upgrade_dynamicfile: Failed to opendir(/nonexistent/groups): No such file or directory
status: 2

test: a directory tree is walked depth first in directory order; links, pipes and hidden names are as they come
sh: mkdir -p t/sub/deep o && M='#DO NOT REMOVE THIS LINE: root.Badge' && for f in a sub/b sub/deep/c .hidden z; do echo "$M.R$((n = n + 1)) reader" >t/$f; done && echo "$M.R9 reader" >o/linked && ln -s "$PWD/o/linked" t/link && ln -s "$PWD/o" t/sub/dirlink && mkfifo t/sub/pipe && kelbrinclient --nolog upgradedynparams t >got && find t -type f -exec sed 's/.*\(root[^ ]*\) .*/\1/' {} + | cmp - got && wc -l <got
out: 5

test: a directory's status is that of its last entry that gave one
sh: mkdir d && touch d/one d/two && set -- $(ls -U d) && M='#DO NOT REMOVE THIS LINE: root.Badge' && echo "$M.R1 nosuch" >d/$1 && echo "$M.R2 reader" >d/$2 && kelbrinclient --nolog upgradedynparams d; echo $?; echo "$M.R3 reader" >d/$1 && echo "$M.R4 nosuch" >d/$2 && kelbrinclient --nolog upgradedynparams d; echo $?
out: root.Badge.R2
out: 0
out: root.Badge.R3
out: 2
err: Error creating group under 'root.Badge'!
err: Error creating group under 'root.Badge'!

test: an entry that cannot be examined or read is reported under its path as given, and the walk goes on
sh: mkdir -p t/d && touch t/d/x t/d/y t/locked && chmod 755 . t && chmod 444 t/d && chmod 0 t/locked && cd t && for p in d d/ .; do { setpriv --reuid=65534 --regid=65534 --clear-groups kelbrinclient --nolog upgradedynparams $p; echo $?; } 2>&1 | sort; done
out: 2
out: Failed to stat/lstat d/x: Permission denied
out: Failed to stat/lstat d/y: Permission denied
out: 2
out: Failed to stat/lstat d/x: Permission denied
out: Failed to stat/lstat d/y: Permission denied
out: 2
out: Failed to stat/lstat d/x: Permission denied
out: Failed to stat/lstat d/y: Permission denied
out: Unable to open file locked: Permission denied
