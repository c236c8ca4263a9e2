# setparams: which settings reach the store, complex values merged, and failures that end the run.
store: device.json

test: sections, quotes, escapes, a continued line and complex values merged node by node; --restore keeps escapes
file p: [Unit]
file p: Speed = 9600
file p: Text = "Front door"
file p:    Label = two\\nlines
file p: Title = first part \\\\
file p: second part
file p: Badge.position {
file p: \tx = [ "10" ]
file p: }
file p: Badge.size {
file p: \ttags = ( [ "c" ] )
file p: \th = [ "48" ]
file p: }
file p: [Network]
file p: HostLabel = door-1   
run: setparams p getgroup root.Unit - NAMEVALUESECTIONS getgroup root.Network
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out:
out:
out: [Unit]
out: Speed                    = "9600"
out: Text                     = "Front door"
out: Label                    = "two
out: lines"
out: Title                    = "first part second part"
out: Badge.position  {
out: \tx \t\t =  [ "10"  ] 
out: \ty \t\t =  [ "2"  ] 
out: } 
out: Badge.size \t {
out: \tw \t\t =  [ "32"  ] 
out: \ttags \t\t =  ( [ "c"  ]  )
out: } 
out:
out: root.Network.HostLabel="door-1"
run: --restore setparams p get root.Unit.Label - RAW get root.Unit.Title - RAW
out: two\\nlines
out: first part \\\\
out: second part

test: the full-name form: lines before the first full name, comments and empty names set nothing; # and braces are values
file p: x = 1
file p:   root.Unit.Speed = "two words"
file p:   # root.Unit.Text = 2
file p: root.Unit.bare
file p:  = x
file p: root.Unit.Text = 5 # default
file p: root.Unit.Label = "{x}"
file p: root.Unit.Title = [1]
run: setparams p getgroup root.Unit
out: root.Unit.Speed="two words"
out: root.Unit.Text="5 # default"
out: root.Unit.Label="{x}"
out: root.Unit.Title="[1]"

test: the section form: headers with blanks, without "]", empty or in a setting's "["; indented "#" lines are settings
file p: Speed = 1
file p: [ Unit ]
file p: Speed = 2
file p:   # note = x
file p: # real = y
file p: Range = [Display]
file p: Text = 3
file p: [Unit
file p: Text = 4
file p: []
file p: Badge.x = { y }\c
run: setparams p get root.Unit.Speed - VALUE get root.Display.Text - VALUE get root.Unit.Text
out: "2"
out: "3"
out: "4"
err3: Error -12 setting 'root.Unit.# note' to 'x'!
err3: Error -12 setting 'root..Badge.x' to '{ y }'!
status: 2

test: a file that cannot be opened or read ends the run
run: setparams /nonexistent/p get root.Unit.Text
err3: Unable to open file /nonexistent/p: No such file or directory
status: 1
run: --nolog setparams / get root.Unit.Text
err: Unable to read file /: Is a directory
status: 1

test: complex lines are one value while the name of the first is in theirs; a comment or the file's end writes it
file p: [Rates]
file p: Rate.x {
file p: \ta = [ "1" ]
file p: }
file p: RateLimit.x {
file p: \ta = [ "2" ]
file p: }\c
run: setparams p
file p: [Rates]
file p: RateLimit.x {
file p: \ta = [ "3" ]
file p: }
file p: Rate.x {
file p: \ta = [ "4" ]
file p: }
file p: # the comment writes the value above
file p: Rate.x { a = ["5"] }
run: setparams p
out: syntax error 1
err3: Error in parsing root.Rates.Rate.
status: 1
sh: kelbrinclient getgroup root.Rates - NAMEVALUESECTIONS | grep '^Rate\|"'
out: Rate.x \t {
out: \ta \t\t =  [ "4"  ] 
out: Rate.imit.x \t =  { NONE }
out: RateLimit.x \t {
out: \ta \t\t =  [ "3"  ] 

test: an empty hash deletes its key and ends the value; a refused deletion writes nothing
file p: [Rates]
file p: Rate.x { } Rate.y = [bad]
sh: kelbrinclient setparams p && kelbrinclient getgroup root.Rates - NAMEVALUESECTIONS | grep ^Rate
out: RateLimit.x \t {
fault: drep_deleteHashValue 1 -29
run: setparams p
err3: Error in parsing root.Rates.Rate.
status: 1

test: complex values that cannot be placed, read or written end the run, keeping what was written before
sh: for f in '[Unit]\nSpeed = 1\nBadge {\n}\nText = 2' '[Unit]\n.x {\n}' 'root.Unit.Text = 3\nBadge.x {\n}' '[Unit]\nSpeed.x {\n}' '[Network]\nLocked.x {\n}'; do printf '%b\n' "$f" >p; kelbrinclient --nolog -L 10 setparams p; echo $?; done; kelbrinclient get root.Unit.Speed - VALUE get root.Unit.Text
out: 1
out: 1
out: 1
out: 1
out: 1
out: "1"
out: "3"
err: Error in parsing Badge {\n}\n, exiting.
err: Error in parsing .x {\n}\n, exiting.
err: Error in parsing Badge.x {\n}\n, exiting.
err: Error -6 getting complex parameter 'root.Unit.Speed'.
err: Error -9 setting complex parameter 'root.Network.Locked'.

test: values the reader cannot finish, or nested too deep, are refused; a line of 200 000 characters is set whole
sh: for v in '( [ "1" ]' '[' '[ "' 'Rate' '[ "1" ]\n Rate\n}\n'; do printf '[Rates]\nRate.x {\n a = %b' "$v" >p; kelbrinclient --nolog setparams p 2>&1 >/dev/null; done
out: Error in parsing root.Rates.Rate.
out: Error in parsing root.Rates.Rate.
out: Error in parsing root.Rates.Rate.
out: Error in parsing root.Rates.Rate.
out: Error in parsing root.Rates.Rate.
status: 1
sh: awk 'BEGIN { printf "[Rates]\nRate.x {\na = "; for (i = 0; i < 100000; i++) printf "( "; print "\n}" }' >p; kelbrinclient --nolog setparams p >/dev/null; echo $?
out: 1
err: Error in parsing root.Rates.Rate.
sh: awk 'BEGIN { printf "root.Unit.Text = %0200000d\n", 0 }' >p && kelbrinclient setparams p get root.Unit.Text - RAW | wc -c
out: 200001
