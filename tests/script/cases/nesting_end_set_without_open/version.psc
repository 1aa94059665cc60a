<<script version>> "3.0"
<<start set>>
<<end set>>
<<end set>>
<<start set>>
