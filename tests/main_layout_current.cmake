# Fails when resources/forms/frmMain.txt is not what its description gives (run
# scripts/gen_main_layout.sh after editing frmMain.desc or the generator).
execute_process(COMMAND ${GEN} ${SRC}/resources/forms/frmMain.desc ${SRC}/resources/messages/en.txt ${OUT}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the layout generator failed on frmMain.desc")
endif()
file(READ ${OUT} generated)
file(READ ${SRC}/resources/forms/frmMain.txt checked_in)
if(NOT generated STREQUAL checked_in)
  message(FATAL_ERROR "resources/forms/frmMain.txt is not current: run scripts/gen_main_layout.sh")
endif()
