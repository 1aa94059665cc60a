<<script version>> "3.0"
<<script error>> "Broken"
<<start set>>
<<start set>>
<<start variant>>
<<end set>>
<<end variant>>
<<end set>>
