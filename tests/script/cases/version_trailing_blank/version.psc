<<script version>> "3.0 "
<<script version>> "3.0"
