! One Set with a single Variant that removes old copies of victim.txt everywhere under a host.
<<script version>> "3.0"

<<start script>>
<<script title>> "Demo Setup"
<<script welcome>> "Welcome to the demo product."
<<script error>> "The installation script is damaged."
<<script button>> "< Back" "Next >" "Cancel" "Quit setup?"

<<start set>>
    <<set intro>> "Set Edition"
    <<set comment>> "About set Edition."
    <<set title>> "Set Edition Setup"
    <<set text>> "Choose from set Edition."
    <<set button>> "< Back" "Next >" "Cancel" "Quit setup?"
    <<start variant>>
        <<variant intro>> "Variant A"
        <<variant comment>> "About variant A."
        <<variant title>> "A Setup"
        <<variant fewappl>> "Install A into:"
        <<variant license>> "" "< Back" "I Agree" "Cancel"
        <<variant button>> "" "Finish" "" ""
        <<variant error>> "The licence of A cannot be read."
        <<default plugins dir>> "Plug-ins"
        <<default filters dir>> "Filters"
        <<photoshop exe>> "Host.exe"
        <<drives to search>> "C"
        <<adobe registry key>> "SOFTWARE\Host"
        <<plugin registry key>> "PluginPath"
        <<application registry key>> "ApplicationPath"
        <<file>> "victim.txt" "files\" "nowhere" "doUninstall" "doNotInstall" "Overwrite"
        <<file>> "a.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
        <<str>> "0" "The list of hosts cannot be read."
        <<str>> "2" "A is installed into one host."
        <<str>> "3" "A is installed into %d hosts."
        <<str>> "4" "A is installed into the host folder."
        <<str>> "5" "Nothing was installed."
        <<str>> "6" "Replace %s (%s, %s) with %s (%s, %s)?"
        <<str>> "7" "older" "newer"
        <<str>> "8" "newer" "older"
        <<str>> "9" "No host was found."
        <<str>> "10" "Locate the host" "Choose Host.exe yourself."
        <<str>> "11" "Quit setup" "Install nothing."
        <<str>> "12" "%s could not be copied into %s."
        <<str>> "13" "%s could not be removed."
        <<str>> "14" "Remove old copies of %s?"
    <<end variant>>
<<end set>>
<<end script>>
