! Lines, cells and blocks.
<<script version>> "3.0"
   free text between tags, even with "quotes", is skipped
 	 ! <<script title>> "a comment, though indented"
	  <<script title>> "indented title"
<<script error>> "a" skipped "" "b c" "a\qb" "\q\q" "c\\qd" "one\ntwo" "unpaired
<<script error>> no quotes at all
free text does not end a block
<<script error>> "third row"
<<script welcome>> "the error block ends at another tag"
<<script error>> "never read: the error block has ended"
<<start set>> <<script welcome>> "never read: a marker line ends the block"
  <<script button>> "found inside a Set" "the first block wins"
<<end set>>
<<script button>> "never read: a second block"
x <<end set>> y <<start set>> z
<<set title>> "the Set opened by the line holding both markers"
<<end set>>
