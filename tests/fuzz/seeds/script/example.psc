! Installation script of Prismafold FFT Filters 2.1 by Kelvar Imaging, a
! filter plug-in for Orrery PhotoCraft 6 and later.
! Read by setup as set//version.psc; check it with `psc-check` before shipping.
! Comment lines start with "!"; lines without a tag are free text and ignored.

<<script version>> "3.0"

! Macros: cell 0 the reference exactly as written in texts, cell 1 its text.
<<script macro>> "$(PRODUCT)" "Prismafold FFT Filters"
<<script macro>> "$(VERSION)" "2.1"
<<script macro>> "$(VENDOR)" "Kelvar Imaging"
<<script macro>> "$(HOST)" "Orrery PhotoCraft"
<<script macro>> "$(HOSTKEY)" "SOFTWARE\Orrery Software\PhotoCraft"
<<script macro>> "$(BACK)" "< Back"
<<script macro>> "$(NEXT)" "Next >"
<<script macro>> "$(CANCEL)" "Cancel"
<<script macro>> "$(QUIT)" "Do you really want to stop the installation of Prismafold FFT Filters?"
<<script macro>> "$(NOACCESS)" "The list of installed Orrery PhotoCraft versions could not be read from the registry.\nSetup will let you locate the program yourself."
<<script macro>> "$(ASKOVER)" "The installed file\n%s\n(%s) %s\n\nThe file in this package\n%s\n(%s) %s\n\nReplace the installed file?"
<<script macro>> "$(COPYFAIL)" "The file \q%s\q could not be copied into the folder\n%s\n\nClose Orrery PhotoCraft and run setup again."
<<script macro>> "$(DELFAIL)" "An old copy of \q%s\q could not be removed.\nClose Orrery PhotoCraft and run setup again."
<<script macro>> "$(ASKDEL)" "Setup found older copies of \q%s\q in the Orrery PhotoCraft folders.\nRemove them?"

<<start script>>

<<script title>> "$(PRODUCT) $(VERSION) Setup"
<<script welcome>> "Welcome to the installation of $(PRODUCT) $(VERSION).\n\nSetup adds the Prismafold filters (frequency-domain sharpening, descreening and pattern removal) to every $(HOST) installation on this computer. Please close $(HOST) before you go on."
<<script error>> "The installation script set\version.psc of this package is damaged.\nPlease download $(PRODUCT) again from $(VENDOR)."
<<script button>> "$(BACK)" "$(NEXT)" "$(CANCEL)" "$(QUIT)"

<<start set>>
    <<set intro>> "$(PRODUCT) $(VERSION)"
    <<set comment>> "All editions of $(PRODUCT)."
    <<set title>> "$(PRODUCT) $(VERSION) Setup - Edition"
    <<set text>> "Which edition of $(PRODUCT) do you want to install?"
    <<set welcome>> "Editions"
    <<set button>> "$(BACK)" "$(NEXT)" "$(CANCEL)" "$(QUIT)"
    <<set error>> "No edition could be chosen."

    ! ---------------------------------------------------------------- full
    <<start set>>
        <<set intro>> "Full edition"
        <<set comment>> "The licensed edition with all twelve filters, the preset library and the manual. You need the serial number printed on your licence card."
        <<set title>> "$(PRODUCT) $(VERSION) Setup - Full edition"
        <<set text>> "Choose the components of the full edition."
        <<set button>> "$(BACK)" "$(NEXT)" "$(CANCEL)" "$(QUIT)"

        <<start variant>>
            <<variant intro>> "Filters, presets and manual"
            <<variant comment>> "Installs the Prismafold filters and the FFT engine into $(HOST), the preset library next to the filters and the manual into the $(HOST) folder. Older Prismafold files are removed first."
            <<variant title>> "$(PRODUCT) $(VERSION) Setup - Full edition"
            <<variant fewappl>> "Setup found several $(HOST) installations. Install $(PRODUCT) into:"
            <<variant license>> "license.txt" "$(BACK)" "I Agree" "$(CANCEL)"
            <<variant button>> "" "Finish" "" ""
            <<variant error>> "The licence agreement license.txt is missing from this package."
            <<default plugins dir>> "Plug-ins"
            <<default filters dir>> "Filters"
            <<photoshop exe>> "PhotoCraft.exe"
            <<drives to search>> "CDEFGH"
            <<adobe registry key>> "$(HOSTKEY)"
            <<plugin registry key>> "PluginPath"
            <<application registry key>> "ApplicationPath"
            ! name, source directory, target, uninstall, install, overwrite
            <<file>> "halvex.dll" "bin\" "progdir" "doUninstall" "doInstall" "AskIfDiffer"
            <<file>> "prismafold.8bf" "files\" "plugdir" "doUninstall" "doInstall" "Overwrite"
            <<file>> "prismafold-presets.dat" "files\" "plugdir" "Ask" "doInstall" "notOverwrite"
            <<file>> "prismafold-manual.txt" "docs\" "progdir" "doNotUninstall" "doInstall" "Ask"
            <<str>> "0" "$(NOACCESS)"
            <<str>> "2" "$(PRODUCT) has been installed.\nStart $(HOST): the filters are in the menu Filter > Prismafold."
            <<str>> "3" "$(PRODUCT) has been installed into %d $(HOST) installations."
            <<str>> "4" "$(PRODUCT) has been installed.\nThe filters were placed in the $(HOST) folder because its plug-in folder is not registered."
            <<str>> "5" "Nothing was installed."
            <<str>> "6" "$(ASKOVER)"
            <<str>> "7" "is older." "is newer."
            <<str>> "8" "is newer." "is older."
            <<str>> "9" "Setup found no $(HOST) installation on this computer."
            <<str>> "10" "Locate $(HOST)" "Choose the program file PhotoCraft.exe yourself in the next dialog."
            <<str>> "11" "Quit setup" "Stop now; nothing will be installed."
            <<str>> "12" "$(COPYFAIL)"
            <<str>> "13" "$(DELFAIL)"
            <<str>> "14" "$(ASKDEL)"
        <<end variant>>

        <<start variant>>
            <<variant intro>> "Filters only"
            <<variant comment>> "Installs only the Prismafold filters and the FFT engine. Your own presets and the manual stay as they are."
            <<variant title>> "$(PRODUCT) $(VERSION) Setup - Filters only"
            <<variant fewappl>> "Install the filters into these $(HOST) installations:"
            <<variant license>> "license.txt" "$(BACK)" "I Agree" "$(CANCEL)"
            <<variant button>> "" "Finish" "" ""
            <<variant error>> "The licence agreement license.txt is missing from this package."
            <<default plugins dir>> "Plug-ins"
            <<default filters dir>> "Filters"
            <<photoshop exe>> "PhotoCraft.exe"
            <<drives to search>> "CDEFGH"
            <<adobe registry key>> "$(HOSTKEY)"
            <<plugin registry key>> "PluginPath"
            <<application registry key>> "ApplicationPath"
            <<file>> "halvex.dll" "bin\" "progdir" "doUninstall" "doInstall" "AskIfDiffer"
            <<file>> "prismafold.8bf" "files\" "plugdir" "doUninstall" "doInstall" "AskIfDiffer"
            <<file>> "prismafold-presets.dat" "files\" "plugdir" "doNotUninstall" "doNotInstall" "notOverwrite"
            <<str>> "0" "$(NOACCESS)"
            <<str>> "2" "The $(PRODUCT) filters have been installed."
            <<str>> "3" "The $(PRODUCT) filters have been installed into %d $(HOST) installations."
            <<str>> "4" "The $(PRODUCT) filters have been installed into the $(HOST) folder."
            <<str>> "5" "Nothing was installed."
            <<str>> "6" "$(ASKOVER)"
            <<str>> "7" "is older." "is newer."
            <<str>> "8" "is newer." "is older."
            <<str>> "9" "Setup found no $(HOST) installation on this computer."
            <<str>> "10" "Locate $(HOST)" "Choose the program file PhotoCraft.exe yourself in the next dialog."
            <<str>> "11" "Quit setup" "Stop now; nothing will be installed."
            <<str>> "12" "$(COPYFAIL)"
            <<str>> "13" "$(DELFAIL)"
            <<str>> "14" "$(ASKDEL)"
        <<end variant>>
    <<end set>>

    ! --------------------------------------------------------------- trial
    ! One Variant only: setup skips this Set's page and goes straight on to
    ! the licence page.
    <<start set>>
        <<set intro>> "30-day trial"
        <<set comment>> "Try all twelve filters for 30 days. Images filtered with the trial carry a faint watermark."
        <<set title>> "$(PRODUCT) $(VERSION) Setup - Trial"
        <<set text>> "Trial edition"
        <<set button>> "$(BACK)" "$(NEXT)" "$(CANCEL)" "$(QUIT)"

        <<start variant>>
            <<variant intro>> "Trial"
            <<variant comment>> "The trial edition of $(PRODUCT)."
            <<variant title>> "$(PRODUCT) $(VERSION) Trial Setup"
            <<variant fewappl>> "Install the trial into these $(HOST) installations:"
            <<variant license>> "license.txt" "$(BACK)" "Accept" "$(CANCEL)"
            <<variant button>> "" "Finish" "" ""
            <<variant error>> "The licence agreement license.txt is missing from this package."
            <<default plugins dir>> "Plug-ins"
            <<default filters dir>> "Filters"
            <<photoshop exe>> "PhotoCraft.exe"
            <<drives to search>> "CDEFGH"
            <<adobe registry key>> "$(HOSTKEY)"
            <<plugin registry key>> "PluginPath"
            <<application registry key>> "ApplicationPath"
            <<file>> "halvex.dll" "bin\" "progdir" "doNotUninstall" "doInstall" "AskIfDiffer"
            <<file>> "prismafold.8bf" "files\" "plugdir" "doNotUninstall" "doInstall" "Ask"
            <<str>> "0" "$(NOACCESS)"
            <<str>> "2" "The $(PRODUCT) trial has been installed. It runs for 30 days."
            <<str>> "3" "The $(PRODUCT) trial has been installed into %d $(HOST) installations."
            <<str>> "4" "The $(PRODUCT) trial has been installed into the $(HOST) folder."
            <<str>> "5" "Nothing was installed."
            <<str>> "6" "$(ASKOVER)"
            <<str>> "7" "is older." "is newer."
            <<str>> "8" "is newer." "is older."
            <<str>> "9" "Setup found no $(HOST) installation on this computer."
            <<str>> "10" "Locate $(HOST)" "Choose the program file PhotoCraft.exe yourself in the next dialog."
            <<str>> "11" "Quit setup" "Stop now; nothing will be installed."
            <<str>> "12" "$(COPYFAIL)"
            <<str>> "13" "$(DELFAIL)"
            <<str>> "14" "$(ASKDEL)"
        <<end variant>>
    <<end set>>

    ! -------------------------------------------------------------- remove
    ! No licence page (empty file name); removes every Prismafold file and
    ! installs nothing.
    <<start set>>
        <<set intro>> "Remove $(PRODUCT)"
        <<set comment>> "Removes the Prismafold filters, the FFT engine and the presets from every $(HOST) installation. The manual stays."
        <<set title>> "$(PRODUCT) $(VERSION) Setup - Remove"
        <<set text>> "Remove $(PRODUCT)"
        <<set button>> "$(BACK)" "$(NEXT)" "$(CANCEL)" "Do you really want to stop?"

        <<start variant>>
            <<variant intro>> "Remove"
            <<variant comment>> "Removes $(PRODUCT)."
            <<variant title>> "$(PRODUCT) $(VERSION) - Remove"
            <<variant fewappl>> "Remove $(PRODUCT) from these $(HOST) installations:"
            <<variant license>> "" "" "" ""
            <<variant button>> "" "Finish" "" ""
            <<variant error>> "$(PRODUCT) could not be removed."
            <<default plugins dir>> "Plug-ins"
            <<default filters dir>> "Filters"
            <<photoshop exe>> "PhotoCraft.exe"
            <<drives to search>> "CDEFGH"
            <<adobe registry key>> "$(HOSTKEY)"
            <<plugin registry key>> "PluginPath"
            <<application registry key>> "ApplicationPath"
            <<file>> "halvex.dll" "bin\" "progdir" "doUninstall" "doNotInstall" "Overwrite"
            <<file>> "prismafold.8bf" "files\" "plugdir" "doUninstall" "doNotInstall" "Overwrite"
            <<file>> "prismafold-presets.dat" "files\" "plugdir" "Ask" "doNotInstall" "notOverwrite"
            <<str>> "0" "$(NOACCESS)"
            <<str>> "2" "$(PRODUCT) has been removed from $(HOST)."
            <<str>> "3" "$(PRODUCT) has been removed from %d $(HOST) installations."
            <<str>> "4" "$(PRODUCT) has been removed from $(HOST)."
            <<str>> "5" "Nothing was removed."
            <<str>> "6" "$(ASKOVER)"
            <<str>> "7" "is older." "is newer."
            <<str>> "8" "is newer." "is older."
            <<str>> "9" "Setup found no $(HOST) installation on this computer."
            <<str>> "10" "Locate $(HOST)" "Choose the program file PhotoCraft.exe yourself in the next dialog."
            <<str>> "11" "Quit setup" "Stop now; nothing will be removed."
            <<str>> "12" "$(COPYFAIL)"
            <<str>> "13" "$(DELFAIL)"
            <<str>> "14" "Remove \q%s\q from the $(HOST) folders?"
        <<end variant>>
    <<end set>>
<<end set>>

<<end script>>
