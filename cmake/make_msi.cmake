# Makes one installer (cmake -P, run by cmake/installer.cmake at build time).
# In: WIXL MSIBUILD MSIINFO FAKETIME WXS VERSION FILE_VERSION UPGRADE_CODE SCR DLL
# ICON EPOCH OUTPUT, MARK (text appended to the packed copy of SCR, or empty),
# and to sign the package OSSLSIGNCODE and PFX (see sign.cmake), or PFX empty.

# wixl finds the files it packs by names relative to its working directory.
set(stage "${OUTPUT}.files")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
configure_file("${SCR}" "${stage}/Salvanto2002.scr" COPYONLY)
configure_file("${DLL}" "${stage}/SaverSetup.dll" COPYONLY)
configure_file("${ICON}" "${stage}/Salvanto2002.ico" COPYONLY)
if(MARK)
  file(APPEND "${stage}/Salvanto2002.scr" "${MARK}")
endif()

# The Apps & Features entry gives the size in kilobytes, rounded up.
file(SIZE "${stage}/Salvanto2002.scr" bytes)
math(EXPR kilobytes "(${bytes} + 1023) / 1024")

# The product code follows from what the package holds: a rebuild with the
# same content is the same product, any other build (of the same version
# too) another one, which takes the installed one's place as an upgrade
# does. Windows refuses a package of the installed product code with a new
# package code (1638).
set(content "${VERSION}")
foreach(part "${WXS}" "${stage}/Salvanto2002.scr" "${stage}/SaverSetup.dll" "${stage}/Salvanto2002.ico")
  file(SHA256 "${part}" hash)
  string(APPEND content ";${hash}")
endforeach()
string(UUID product_code NAMESPACE ${UPGRADE_CODE} NAME "${content}" TYPE SHA1 UPPER)

# Every time the package records is the commit's (EPOCH), wherever and whenever
# it is built: the cabinet's from the packed files' own, the summary
# information's from the clock wixl reads, which faketime stops there (in UTC,
# and not for the files' times).
execute_process(COMMAND touch -d @${EPOCH} "${stage}/Salvanto2002.scr" "${stage}/SaverSetup.dll"
                        "${stage}/Salvanto2002.ico")
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP commit_time "%Y-%m-%d %H:%M:%S" UTC)
set(ENV{TZ} UTC)
set(ENV{NO_FAKE_STAT} 1)

set(partial "${OUTPUT}.partial")
execute_process(
  COMMAND "${FAKETIME}" -f "${commit_time}" "${WIXL}" --arch x64 -D Version=${VERSION} -D ProductCode=${product_code}
          -D ScrFile=Salvanto2002.scr -D SetupDll=SaverSetup.dll -D IconFile=Salvanto2002.ico -D SizeKB=${kilobytes}
          -o "${partial}" "${WXS}"
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE failed)
file(REMOVE_RECURSE "${stage}")
if(failed)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "wixl failed (${failed}) on ${WXS}")
endif()

# What wixl cannot write, by SQL on its tables (msibuild takes one query a call).
function(table name out)
  execute_process(COMMAND "${MSIINFO}" export "${partial}" ${name} OUTPUT_VARIABLE rows RESULT_VARIABLE failed)
  if(failed)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "msiinfo could not export ${name} from ${partial}")
  endif()
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()
function(query sql)
  execute_process(COMMAND "${MSIBUILD}" "${partial}" -q "${sql}" RESULT_VARIABLE failed)
  if(failed)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "msibuild failed on ${partial}: ${sql}")
  endif()
endfunction()

# An install elevated from a user's session takes only the public properties
# listed as secure. wixl lists its upgrade properties there and no others, and
# takes no second definition of the list: add SETASSAVER to the list it made.
table(Property properties)
if(NOT properties MATCHES "\nSecureCustomProperties\t([^\r\n]*)")
  message(FATAL_ERROR "no SecureCustomProperties in ${partial}")
endif()
query("UPDATE `Property` SET `Value` = '${CMAKE_MATCH_1};SETASSAVER' WHERE `Property` = 'SecureCustomProperties'")

# The file's short name (for a volume without long names), and its version
# and language, those of its version record: without a version Windows
# Installer takes it for an unversioned file that any versioned copy beats.
query("UPDATE `File` SET `FileName` = 'SALV2002.SCR|Salvanto2002.scr', `Version` = '${FILE_VERSION}', \
`Language` = '1033' WHERE `File` = 'Salvanto2002.scr'")

# The upgrade takes the installed version itself too, so that another build
# of it installs over it. Its attributes are part of the row's key: the row
# is made anew, with the maximum included (512).
table(Upgrade upgrades)
if(NOT upgrades MATCHES "\n({[^\t]*})\t\t([^\t]*)\t\t([0-9]+)\t\tWIX_UPGRADE_DETECTED")
  message(FATAL_ERROR "no upgrade of older versions in ${partial}")
endif()
math(EXPR attributes "${CMAKE_MATCH_3} | 512")
query("DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'")
query("INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) \
VALUES ('${CMAKE_MATCH_1}', '${CMAKE_MATCH_2}', ${attributes}, 'WIX_UPGRADE_DETECTED')")

# Deferred actions that run as the user (in-script 1024, without no-impersonate
# 2048) are terminal-server aware (16384): on a multi-session host they then
# run as the user of a per-machine install too.
table(CustomAction actions)
string(REGEX MATCHALL "\n[A-Za-z0-9_.]+\t[0-9]+\t" rows "${actions}")
foreach(row ${rows})
  string(REGEX MATCH "\n([^\t]+)\t([0-9]+)" row "${row}")
  math(EXPR execution "${CMAKE_MATCH_2} & 3072")
  if(execution EQUAL 1024)
    math(EXPR type "${CMAKE_MATCH_2} | 16384")
    query("UPDATE `CustomAction` SET `Type` = ${type} WHERE `Action` = '${CMAKE_MATCH_1}'")
  endif()
endforeach()

# The package code tells Windows one package from another: wixl makes a new
# one every time, so it is made here from what the package holds and how this
# script makes it. msibuild sets it only with the subject, author and
# template beside it in the summary information: those wixl wrote, again.
file(SHA256 "${CMAKE_CURRENT_LIST_FILE}" recipe)
string(UUID package_code NAMESPACE ${product_code} NAME "${content};${FILE_VERSION};${EPOCH};${recipe}"
     TYPE SHA1 UPPER)
execute_process(COMMAND "${MSIINFO}" suminfo "${partial}" OUTPUT_VARIABLE summary)
foreach(field Subject Author Template)
  if(NOT summary MATCHES "\n${field}: ([^\n]*)")
    file(REMOVE "${partial}")
    message(FATAL_ERROR "no ${field} in the summary information of ${partial}")
  endif()
  set(${field} "${CMAKE_MATCH_1}")
endforeach()
execute_process(COMMAND "${FAKETIME}" -f "${commit_time}" "${MSIBUILD}" "${partial}"
                        -s "${Subject}" "${Author}" "${Template}" "{${package_code}}" RESULT_VARIABLE failed)
if(failed)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "msibuild could not set the package code of ${partial}")
endif()

# Signed last: a signature covers the package as it is.
if(PFX)
  set(FILE "${partial}")
  set(NAME "The Salvanto Anthology 2002 screen saver")
  include(${CMAKE_CURRENT_LIST_DIR}/sign.cmake)
endif()
file(RENAME "${partial}" "${OUTPUT}")
