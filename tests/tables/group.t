# getgroup and getgrouplist: each type, sections, complex values, every failure of the walk.
store: device.json

test: getgroup writes NAMEVALUE lines, complex parameters left out; one that cannot be read is reported and the walk goes on; the first parameter not obtainable fails the listing, a later one ends it
run: getgroup root.Door
out: root.Door.Name="front"
out: root.Door.Lock.Delay="5"
out: root.Door.Empty=""
fault: cli_getComplexParam 1 -7
run: getgroup root.Door
out: root.Door.Name="front"
out: root.Door.Lock.Delay="5"
out: root.Door.Empty=""
err3: #Error -7 getting parameter 'root.Door.Zones'
status: 2
fault: cli_getParamInGroup 1 -5
run: getgroup root.Door
err3: #Error -5 getting param in group 'root.Door'!
status: 2
fault: cli_getParamInGroup 2 -5
run: getgroup root.Door
out: root.Door.Name="front"

test: a sectioned listing heads every change of section and renders complex values
run: getgroup root.Door - NAMEVALUESECTIONS
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out:
out:
out: [Door]
out: Name                     = "front"
out: Zones.mode \t =  [ "auto"  ] 
out: Zones.ports \t =  ( [ "80"  ]  [ "443"  ]  )
out: Zones.schedule  {
out: \tstart \t\t =  [ "08:00"  ] 
out: \tcount \t\t =  [ "3"  ] 
out: } 
out:
out:
out:
out: [Door.Lock]
out: Delay                    = "5"
out:
out:
out: [Door]
out: Empty                    = ""

test: PHP listings end with the trailer, also after a group that cannot be listed or has no parameters
run: getgroup root.Door.Lock lock.php PHP getgroup root.Nope nope.php PHP getgroup root.Badge badge.php php
has lock.php: <?php
has lock.php: $root_Door_Lock_Delay = "5";
has lock.php: ?>
has nope.php: <?php
has nope.php: ?>
has badge.php: <?php
has badge.php: ?>
err3: //Error -3 getting group 'root.Nope'!
err4: //No parameters for group 'root.Badge'!
status: 2

test: child groups that cannot be listed, or whose first cannot be obtained, fail the listing; a later one ends it
run: getgrouplist root.Nope
err3: #Error -3 listing groups for group 'root.Nope'!
status: 2
fault: cli_getChildGroupInGroup 1 -6
run: getgrouplist root
err3: #Error -6 getting group for group 'root'!
status: 2
fault: cli_getChildGroupInGroup 2 -6
run: getgrouplist root
out: "Door"
run: getgrouplist root.Door.Lock
err4: #No groups for group 'root.Door.Lock'!
status: 2

test: an unknown type or a name without dots in a sectioned listing ends the run; getgrouplist has opened its file
run: getgroup root.Door g XML sync
err3: Unsupported type: XML
err3: Failed to get group root.Door.
absent: g
status: 1
run: getgroup root - NAMEVALUESECTIONS sync
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
err3: Internal error: '.'-delimited format expected.
err3: Failed to get group root.
status: 1
run: getgrouplist root g XML sync
err3: Unsupported type: XML
err3: Failed to list groups under 'root'
has g: \c
status: 1
run: getgrouplist ROOT - NAMEVALUESECTIONS sync
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
err3: Internal error: '.'-delimited format expected.
err3: Failed to list groups under 'ROOT'
status: 1

test: getgrouplist writes one line per child group, its name cut at the last dot
run: getgrouplist root.Door - FORM getgrouplist root.Door - NAMEVALUESECTIONS getgrouplist root - NAMEVALUESECTIONS
out: <input type='hidden' name='conf_Door' value='Lock'>
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out:
out:
out: [Door]
out: root.Door                = "Lock"
out: # Vardel Parameter list, Tue Nov 14 22:13:20 2023
out:
out:
out: [root]
out: root                     = "Door"
out: root                     = "Display"
out: root                     = "Unit"
out: root                     = "Network"
out: root                     = "Rates"
out: root                     = "Badge"

test: --showaccess asks the store about the child group's cut name
run: --showaccess getgrouplist root.Door - NAMEVALUE
out: root.Door="Lock" accessControl=""
calls: cli_getChildGroupInGroup - port=0 sync=10 number=-1 case=0 security=2147483647 mapped=0
calls: cli_getParamOption root.Door port=0 sync=10 number=-1 case=0 security=2147483647 mapped=0
calls: cli_getChildGroupInGroup - port=0 sync=10 number=-1 case=0 security=2147483647 mapped=0
