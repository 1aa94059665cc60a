<<script version>> "3.0"
<<start set>>
<<start variant>>
<<variant intro>> "only intro"
<<end variant>>
<<end set>>
<<end script>>
<<start set>>
<<end set>>
