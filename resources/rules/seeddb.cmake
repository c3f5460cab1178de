# The seed database "Talvoren.db", built from the committed schema with the sqlite3
# command-line tool. It is written beside the target first and renamed, so a failed
# run never leaves a half-built seed behind.
find_program(TALVOREN_SQLITE3_EXECUTABLE sqlite3 REQUIRED)

set(seed_schema ${CMAKE_CURRENT_SOURCE_DIR}/schema/Talvoren.sql)
set(seed_database ${TALVOREN_RESOURCE_DIR}/Talvoren.db)
add_custom_command(OUTPUT ${seed_database}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TALVOREN_RESOURCE_DIR}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${seed_database}.tmp
    COMMAND ${TALVOREN_SQLITE3_EXECUTABLE} -batch -bail ${seed_database}.tmp ".read ${seed_schema}"
    COMMAND ${CMAKE_COMMAND} -E rename ${seed_database}.tmp ${seed_database}
    DEPENDS ${seed_schema}
    COMMENT "Building the seed database Talvoren.db"
    VERBATIM)
add_custom_target(talvoren_seed_database DEPENDS ${seed_database})
add_dependencies(talvoren_resources talvoren_seed_database)
