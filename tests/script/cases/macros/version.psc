<<script version>> "3.0"
<<script macro>>
<<script macro>> "$(NAME)" "Filter"
<<script macro>> "$(NAME)" "second definition: never used"
<<script macro>> "$(A$(B)" "nested"
<<script macro>> "$(LOOP)" "$(NAME)"
<<script macro>> "$(NL)" "A\nB"
<<script macro>> "$(LT)" "<<"
<<script macro>> "NAME" "not a reference"
<<script macro>> "$(Q)" "say \qhi\q, then more"
<<script macro>> "$(EMPTY)"
<<script title>> "Install $(NAME) now; $(name) $(UNDEFINED) NAME"
<<script welcome>> "$(A$(B)) $(LOOP) $(NL)"
<<script error>> "$(Q)"
<<script button>> "$(NAME) then $(" "a $( no end"
<<start set>>
<<set title>> "$(LT)end set>>"
<<set text>> "$(EMPTY)"
<<end set>>
