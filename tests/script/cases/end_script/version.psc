<<script version>> "3.0"
<<start variant>>
<<variant intro>> "outside any Set: not loaded"
<<end variant>>
<<start set>>
  <<set intro>> "loaded"
<<end set>>
<<start script>>
<<start set>>
  <<set intro>> "holds the end of the script: not loaded"
  <<start set>>
    <<set intro>> "nested, before the end of the script: not loaded"
  <<end set>>
<<end script>>
<<end set>>
<<start set>>
  <<set intro>> "after the end of the script: not loaded"
<<end set>>
