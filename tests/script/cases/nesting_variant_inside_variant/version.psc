<<script version>> "3.0"
<<start set>>
<<start variant>>
<<start variant>>
<<end variant>>
<<end variant>>
<<end set>>
