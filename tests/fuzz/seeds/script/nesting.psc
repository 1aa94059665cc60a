<<script version>> "3.0"
<<script error>> "bad"
<<start script>>
<<start set>>
<<start variant>>
<<start set>>
<<end set>>
<<end variant>>
<<end set>>
