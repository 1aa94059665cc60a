<<script version>> "3.0"
<<start set>>
<<start variant>>
<<variant intro>> "V"
<<str>> "13" "%s stays: it has no <<end variant>> mark"
<<end variant>>
<<end set>>
