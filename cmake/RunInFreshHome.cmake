# Empties the test's home folder, then runs the test program in it.
file(REMOVE_RECURSE "${HOME}")
file(MAKE_DIRECTORY "${HOME}/.config" "${HOME}/runtime")
file(CHMOD "${HOME}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND "${PROGRAM}" WORKING_DIRECTORY "${HOME}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} failed: ${result}")
endif()
