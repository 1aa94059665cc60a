! The version written as a macro reference.
<<script macro>> "$(V)" "3.0"
<<script version>> "$(V)"
<<script title>> "Title"
<<script error>> "Broken"
