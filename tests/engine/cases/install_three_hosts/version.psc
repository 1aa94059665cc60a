! One Variant with a program and a filter.
<<script version>> "3.0"

<<start script>>
<<script title>> "Engine Setup"
<<script error>> "The installation script is damaged."
<<script button>> "< Back" "Next >" "Cancel" "Quit setup?"

<<start set>>
    <<set intro>> "Filters"
    <<set comment>> ""
    <<set title>> "Filters Setup"
    <<set text>> "Choose."
    <<set button>> "< Back" "Next >" "Cancel" "Quit setup?"
    <<start variant>>
        <<variant intro>> "Filters"
        <<variant comment>> ""
        <<variant title>> "Filters Setup"
        <<variant fewappl>> "Install the filters into:"
        <<variant license>> "" "" "" ""
        <<variant button>> "" "Finish" "" ""
        <<variant error>> "The licence cannot be read."
        <<default plugins dir>> "Plug-ins"
        <<default filters dir>> "Filters"
        <<photoshop exe>> "Host.exe"
        <<drives to search>> "C"
        <<adobe registry key>> "SOFTWARE\Host"
        <<plugin registry key>> "PluginPath"
        <<application registry key>> "ApplicationPath"
        <<file>> "a.exe" "pkg\" "progdir" "doNotUninstall" "doInstall" "Overwrite"
        <<file>> "b.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
        <<str>> "0" "The list of hosts cannot be read."
        <<str>> "2" "Installed into one host."
        <<str>> "3" "Installed into %d hosts."
        <<str>> "4" "Installed into the host folder."
        <<str>> "5" "Nothing was installed."
        <<str>> "6" "Replace %s (%s)[%s] with %s (%s)[%s]?"
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
