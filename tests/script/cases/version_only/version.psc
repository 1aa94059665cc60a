<<script version>> "3.0"
