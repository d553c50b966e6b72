# Makes one installer (cmake -P, run by cmake/installer.cmake at build time).
# In: WIXL MSIBUILD MSIINFO WXS VERSION PRODUCT_CODE SCR ICON OUTPUT, and MARK
# (text appended to the packed copy of SCR, or empty).

# wixl finds the files it packs by names relative to its working directory.
set(stage "${OUTPUT}.files")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
configure_file("${SCR}" "${stage}/Salvanto2002.scr" COPYONLY)
configure_file("${ICON}" "${stage}/Salvanto2002.ico" COPYONLY)
if(MARK)
  file(APPEND "${stage}/Salvanto2002.scr" "${MARK}")
endif()

# The Apps & Features entry gives the size in kilobytes, rounded up.
file(SIZE "${stage}/Salvanto2002.scr" bytes)
math(EXPR kilobytes "(${bytes} + 1023) / 1024")

set(partial "${OUTPUT}.partial")
execute_process(
  COMMAND "${WIXL}" --arch x64 -D Version=${VERSION} -D ProductCode=${PRODUCT_CODE} -D ScrFile=Salvanto2002.scr
          -D IconFile=Salvanto2002.ico -D SizeKB=${kilobytes} -o "${partial}" "${WXS}"
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE failed)
file(REMOVE_RECURSE "${stage}")
if(failed)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "wixl failed (${failed}) on ${WXS}")
endif()

# An install elevated from a user's session takes only the public properties
# listed as secure. wixl lists its upgrade properties there and no others, and
# takes no second definition of the list: add SETASSAVER to the list it made.
execute_process(COMMAND "${MSIINFO}" export "${partial}" Property OUTPUT_VARIABLE properties RESULT_VARIABLE failed)
string(REGEX MATCH "\nSecureCustomProperties\t([^\r\n]*)" found "${properties}")
if(failed OR NOT found)
  message(FATAL_ERROR "no SecureCustomProperties in ${partial}")
endif()
execute_process(
  COMMAND "${MSIBUILD}" "${partial}"
          -q "UPDATE `Property` SET `Value` = '${CMAKE_MATCH_1};SETASSAVER' WHERE `Property` = 'SecureCustomProperties'"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "msibuild could not list SETASSAVER as secure in ${partial}")
endif()
file(RENAME "${partial}" "${OUTPUT}")
