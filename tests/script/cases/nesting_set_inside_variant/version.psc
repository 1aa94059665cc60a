<<script version>> "3.0"
<<start set>>
<<start variant>>
<<start set>>
<<end set>>
<<end variant>>
<<end set>>
