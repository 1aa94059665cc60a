This script has no version line.
<<start script>>
<<script title>> "Demo Setup"
<<script error>> "Damaged."
<<end script>>
