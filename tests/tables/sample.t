# Runner self-check rows; the real tables replace this file.
store: door.json

test: get writes VALUE to standard output by default
run: get root.Door.Name
out: "front"

test: an unknown name fails with the PHP prefix and leaves the header
run: get root.Door.Nope out.php PHP
err3: //Error -2 getting parameter 'root.Door.Nope'!
status: 2
has out.php: <?php

test: set then get, and a quote in SCRIPT
run: set root.Door.Name "it's"
run: get root.Door.Name - SCRIPT
out: root_Door_Name='it'\\''s'

test: CGI mode starts with CR LF
run: REQUEST_METHOD= get root.Door.Name - RAW
out: \r
out: front

test: no arguments
run:
err: Wrong arguments!
err< usage.txt
log: 4 Early exit. Bad arguments.
status: 1
