! A script with no Sets.
<<script version>> "3.0"

<<start script>>
<<script title>> "Demo Setup"
<<script welcome>> "Welcome to the demo product."
<<script error>> "The installation script is damaged."
<<script button>> "< Back" "Next >" "Cancel" "Quit setup?"


<<end script>>
