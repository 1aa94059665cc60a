<<script version>> "3.0"
<<end script>>
<<start script>>
