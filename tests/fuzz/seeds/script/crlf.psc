<<script version>> "3.0"
<<script macro>> "$(A)" "alpha\nbeta"
<<script title>> "$(A) $(B) $(A$(B))"
<<script welcome>> "open $( ref"
<<start set>>
<<set text> "x\qy"
<<start set>>
<<start variant>>
<<variant intro>> "i"
<<variant title>> "t"
<<variant fewappl>> "f"
<<variant license>> "l"
<<variant button>> "b"
<<variant comment>> "c"
<<variant error>> "e"
<<default plugins dir>> "p"
<<default filters dir>> "f"
<<photoshop exe>> "x"
<<drives to search>> "C"
<<plugin registry key>> "k"
<<application registry key>> "a"
<<adobe registry key>> "r"
<<file>> "n" "s" "plugdir" "Ask" "doInstall" "AskIfDiffer"
<<str>> "3" "%d hosts"
<<end variant>>
<<end set>>
<<end set>>
