<<script version>> "3.0"
<<start set>>
<<start set>>
<<start set>>
<<end set>>
