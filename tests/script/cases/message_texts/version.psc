<<script version>> "3.0"
<<start set>>
<<set button>> "< Back" "Next >" "Cancel" "Stop the installation?"
<<start variant>>
<<variant intro>> "Only"
<<variant title>> "Messages"
<<variant fewappl>> "Install into:"
<<variant license>> ""
<<variant button>> "" "Finish" "" ""
<<variant comment>> "The only Variant, no licence."
<<variant error>> "Error"
<<default plugins dir>> "Plug-ins"
<<default filters dir>> "Filters"
<<photoshop exe>> "Host.exe"
<<drives to search>> "C"
<<plugin registry key>> "PluginPath"
<<application registry key>> "ApplicationPath"
<<adobe registry key>> "SOFTWARE\Host"
<<file>> "a.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
<<str>>
<<str>> "09" "Leading zero: not message 9."
<<str>> "0" "The list of hosts cannot be read."
<<str>> "0" "Second row for 0: never shown."
<<str>> "9" "No host was found."
<<str>> "9" "Second row for 9: never shown."
<<str>> "10" "Locate the host" "Choose Host.exe yourself."
<<str>> "11" "Quit setup"
<<end variant>>
<<end set>>
