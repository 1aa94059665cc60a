<<script version>> "3.0"
<<script title>> "Title"
<<script error>> "Broken"
<<start set>>
<<start variant>>
<<variant intro>> "Complete"
<<variant title>> "Complete"
<<variant fewappl>> "Install into:"
<<variant license>> ""
<<variant button>> "" "Finish" "" ""
<<variant comment>> "All sixteen tags."
<<variant error>> "Error"
<<default plugins dir>> "Plug-ins"
<<default filters dir>> "Filters"
<<photoshop exe>> "Host.exe"
<<drives to search>> "C"
<<plugin registry key>> "PluginPath"
<<application registry key>> "ApplicationPath"
<<adobe registry key>> "SOFTWARE\Host"
<<file>> "a.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
<<str>> "5" "Nothing was installed."
<<end variant>>
<<start variant>>
<<variant intro>> "Full edition"
<<variant title>> "Full edition"
<<variant fewappl>> "Install into:"
<<variant license>> ""
<<variant button>> "" "Finish" "" ""
<<variant comment>> "Lacks two tags."
<<variant error>> "Error"
<<default plugins dir>> "Plug-ins"
<<default filters dir>> "Filters"
<<photoshop exe>> "Host.exe"
<<plugin registry key>> "PluginPath"
<<application registry key>> "ApplicationPath"
<<adobe registry key>> "SOFTWARE\Host"
<<file>> "a.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
<<end variant>>
<<start variant>>
<<variant intro>> "Later"
<<drives to search>> "C"
<<str>> "5" "Nothing was installed."
<<end variant>>
<<end set>>
