# get and getlist: each output type byte for byte, files, and failures.
store: device.json

test: get writes each type byte for byte, whatever the case of its name; an empty value
run: get root.Display.Note - SCRIPT get root.Display.Note - VALUE get root.Display.Note - NAMEVALUE get root.Display.Note - PHP get root.Display.Note - NAMEVALUESECTIONS get root.Display.Note - FORM get root.Display.Note - RAW get root.Door.Empty - php get root.Door.Empty - Script get root.Door.Empty - value
out: root_Display_Note='it'\\''s "q" \\ back'
out: "it's "q" \\ back"
out: root.Display.Note="it's "q" \\ back"
out: <?php
out: $root_Display_Note = "it's \\"q\\" \\\\ back";
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out: Note                     = "it's "q" \\ back"
out: <input type='hidden' name='conf_Display_Note' value='it''s "q" \\ back'>
out: it's "q" \\ back
out: <?php
out: $root_Door_Empty = "";
out: root_Door_Empty=''
out: ""

test: escaped values longer than 255 characters come out whole
run: get root.Display.Quotes - PHP get root.Display.Quotes - FORM
out: <?php
out: $root_Display_Quotes = "'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"'\\"";
out: <input type='hidden' name='conf_Display_Quotes' value='''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"''"'>

test: --showaccess adds the access control text to NAMEVALUE lines only
run: --showaccess get root.Door.Name - NAMEVALUE get root.Display.Note - NAMEVALUE get root.Door.Name - SCRIPT
out: root.Door.Name="front" accessControl="admin:rw"
out: root.Display.Note="it's "q" \\ back" accessControl=""
out: root_Door_Name='front'

test: get creates or truncates its file, one it wrote itself too
file old.txt: left over from before
run: get root.Door.Name new.txt VALUE get root.Display.Note old.txt VALUE get root.Door.Name old.txt
has new.txt: "front"
has old.txt: "front"

test: an unreadable value leaves the file with its header and the run goes on; a complex one is not read; a name without two dots has no aligned line
run: get root.None out.php PHP get root.Door.Zones - NAMEVALUESECTIONS get root.Top - NAMEVALUESECTIONS get root.Door.Name
has out.php: <?php
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out: "front"
err3: //Error -2 getting parameter 'root.None'!
err3: #Error -5 getting parameter 'root.Door.Zones'!
err3: Internal error: '.'-delimited format expected.
status: 2

test: an unknown type or an output that cannot be opened ends the run; three words after get are name, file and type
run: get root.Door.Name out XML
err3: Unsupported type: XML
err3: Failed to get parameter root.Door.Name.
absent: out
status: 1
run: get root.Door.Name get root.Display.Note
err3: Unsupported type: root.Display.Note
err3: Failed to get parameter root.Door.Name.
absent: get
status: 1
run: get root.Door.Name no/such/file
err3: Unable to open file no/such/file: No such file or directory
err3: Failed to get parameter root.Door.Name.
status: 1

test: getlist writes the header and a line per name without section headers or a PHP trailer; an unknown type or a list that cannot be opened ends the run
file names: root.Door.Name
file names: root.Display.Text\c
file empty: \c
run: getlist names out NAMEVALUESECTIONS getlist empty out.php PHP
has out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
has out: Name                     = "front"
has out: Text                     = "Welcome"
has out.php: <?php
run: getlist names out2 XML
err3: Unsupported type: XML
err3: Failed to get list. List file names.
absent: out2
status: 1
run: getlist missing missing.out VALUE
err3: Unable to open file missing: No such file or directory
err3: Failed to get list. List file missing.
absent: missing.out
status: 1

test: getlist reads standard input line by line, 255 characters at most, and cuts values at 255
in: root.Display.Long
in: root.Door.Name\r
in:
in: nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn
in: root.Door.Name
run: getlist - - NAMEVALUE
out: root.Display.Long="LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"
out: root.Door.Name="front"
err3: #Error -12 getting parameter 'root.Door.Name\r'!
err3: #Error -12 getting parameter ''!
err3: #Error -12 getting parameter 'nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn'!
err3: #Error -12 getting parameter 'nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn'!
status: 2
