<<script version>> "3.0"
<<script error>> "Broken"
<<mystery tag>> "x"
<<y "no closing brackets"
<<start set>>
<<set title>> "$(UNDEFINED)"
<<start variant>>
<<variant intro>> "Files"
<<variant title>> "Files"
<<variant fewappl>> "Install into:"
<<variant license>> ""
<<variant button>> "" "Finish" "" ""
<<variant comment>> "Every keyword."
<<variant error>> "Error"
<<default plugins dir>> "Plug-ins"
<<default filters dir>> "Filters"
<<photoshop exe>> "Host.exe"
<<drives to search>> "C"
<<plugin registry key>> "PluginPath"
<<application registry key>> "ApplicationPath"
<<adobe registry key>> "SOFTWARE\Host"
<<file>> "a.dll" "bin\" "progdir" "doUninstall" "doInstall" "Ask"
<<file>> "b.dll" "bin\" "plugdir" "doNotUninstall" "doNotInstall" "Overwrite"
<<file>> "c.dll" "bin\" "progdir" "Ask" "doInstall" "notOverwrite"
<<file>> "d.dll" "bin\" "progdir" "doUninstall" "doInstall" "AskIfDiffer"
<<file>> "wrong.dll" "bin\" "prgdir" "ask" "" "Overwrite "
<<file>> "misplaced.dll" "bin\" "doInstall" "Overwrite" "Ask" "plugdir"
<<file>> "short.dll" "bin\" "progdir" "doUninstall"
<<str>>
<<str>> "0" "m"
<<str>> "2" "m"
<<str>> "3" "m"
<<str>> "4" "m"
<<str>> "5" "m"
<<str>> "6" "m"
<<str>> "07" "m" "m"
<<str>> "8" "m" "m"
<<str>> "9" "m"
<<str>> "10" "m" "m"
<<str>> "11" "m" "m"
<<str>> "12" "m"
<<str>> "13" "m"
<<str>> "14" "m"
<<end variant>>
<<end set>>
<<start set>>
<<set intro>> "Seven"
<<start variant>>
<<file>> "v1.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<start variant>>
<<file>> "v2.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<start variant>>
<<file>> "v3.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<start variant>>
<<file>> "v4.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<start variant>>
<<file>> "v5.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<start variant>>
<<file>> "v6.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<start variant>>
<<file>> "v7.dll" "bin\" "progdir" "doUninstall" "doInstall" "Overwrite" <<variant intro>> <<variant title>> <<variant fewappl>> <<variant license>> <<variant button>> <<variant comment>> <<variant error>> <<default plugins dir>> <<default filters dir>> <<photoshop exe>> <<drives to search>> <<plugin registry key>> <<application registry key>> <<adobe registry key>> <<str>>
<<end variant>>
<<end set>>
