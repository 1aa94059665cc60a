<<script version>> "3.00"
