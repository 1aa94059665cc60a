<<script version>> "3.0"
<<start script>>
<<start set>>
  <<set intro>> "Top"
  <<start set>>
    <<set intro>> "A"
    <<start variant>>
      <<variant intro>> "a1 intro"
      <<variant title>> "a1 title, row 0"
      free text does not end the block
      <<variant title>> "a1 title, row 1"
      <<str>> "0" "a1 message 0"
      <<variant title>> "never read: the title block has ended"
      <<variant fewappl>> "a1 fewappl"
      <<variant license>> "a1 licence.txt" "a1 back" "a1 agree" "a1 cancel"
      <<variant button>> "a1 back" "a1 finish" "a1 cancel" "a1 question"
      <<variant comment>> "a1 comment"
      <<variant error>> "a1 error"
      <<default plugins dir>> "a1 plugins dir"
      <<default filters dir>> "a1 filters dir"
      <<drives to search>> "a1 drives"
      <<plugin registry key>> "a1 plugin key"
      <<application registry key>> "a1 application key"
      <<adobe registry key>> "a1 adobe key"
      <<file>> "a1 file" "a1 dir\" "progdir" "doUninstall" "doInstall" "Ask"
      <<file>> "a1 second file" "a1 dir\" "plugdir" "Ask" "doNotInstall" "AskIfDiffer"
    <<end variant>> <<photoshop exe>> "not a cell: the line is a marker"
    <<start variant>>
      <<variant intro>> "a2"
      <<variant title>> "a2 title"
      <<variant fewappl>> "a2 fewappl"
      <<variant license>> ""
      <<variant button>> "" "Finish" "" ""
      <<variant comment>> "a2 comment"
      <<variant error>> "a2 error"
      <<default plugins dir>> "Plug-ins"
      <<default filters dir>> "Filters"
      <<photoshop exe>> "Host.exe"
      <<drives to search>> "C"
      <<plugin registry key>> "PluginPath"
      <<application registry key>> "ApplicationPath"
      <<adobe registry key>> "SOFTWARE\Host"
      <<file>> "a2.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
      <<str>> "5" "a2: nothing was installed."
    <<end variant>>
  <<end set>>
  ! a comment and a blank line before the parent's end

  <<start set>>
    <<set intro>> "B"
    <<start variant>>
      <<variant intro>> "b1"
      <<variant title>> "b1 title"
      <<variant fewappl>> "b1 fewappl"
      <<variant license>> ""
      <<variant button>> "" "Finish" "" ""
      <<variant comment>> "b1 comment"
      <<variant error>> "b1 error"
      <<default plugins dir>> "Plug-ins"
      <<default filters dir>> "Filters"
      <<photoshop exe>> "Host.exe"
      <<drives to search>> "C"
      <<plugin registry key>> "PluginPath"
      <<application registry key>> "ApplicationPath"
      <<adobe registry key>> "SOFTWARE\Host"
      <<file>> "b1.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
      <<str>> "5" "b1: nothing was installed."
    <<end variant>>
  <<end set>>
<<end set>>
<<start set>>
  <<set intro>> "Second"
    <<start variant>>
      <<variant intro>> "c1"
      <<variant title>> "c1 title"
      <<variant fewappl>> "c1 fewappl"
      <<variant license>> ""
      <<variant button>> "" "Finish" "" ""
      <<variant comment>> "c1 comment"
      <<variant error>> "c1 error"
      <<default plugins dir>> "Plug-ins"
      <<default filters dir>> "Filters"
      <<photoshop exe>> "Host.exe"
      <<drives to search>> "C"
      <<plugin registry key>> "PluginPath"
      <<application registry key>> "ApplicationPath"
      <<adobe registry key>> "SOFTWARE\Host"
      <<file>> "c1.8bf" "pkg\" "plugdir" "doNotUninstall" "doInstall" "Overwrite"
      <<str>> "5" "c1: nothing was installed."
    <<end variant>>
<<end set>>
<<end script>>
