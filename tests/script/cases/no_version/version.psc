! No version line: the only mention of it is in this comment, <<script version>> "3.0"
<<script title>> "Title"
<<script error>> "Broken"
<<start set>>
<<set title>> "Set"
<<end set>>
