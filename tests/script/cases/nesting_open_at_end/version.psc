<<script version>> "3.0"
<<start script>>
<<start set>>
<<end set>>
<<start variant>>
