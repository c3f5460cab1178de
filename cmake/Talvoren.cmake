# Helpers shared by every folder's CMakeLists.txt.

# Strict warnings on our own targets only (Qt and system headers stay quiet).
function(talvoren_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# The Qt and test headers nearly every source includes, precompiled once: by the
# first core library (talvoren_common) for all of the core, and by the test support
# library for every test. Each further target reuses that header instead of
# compiling its own, which saves half a minute of a build per target.
set(TALVOREN_PCH_HEADERS <QtCore/QString> <QtCore/QStringList> <QtCore/QByteArray>
    <QtCore/QDateTime> <QtCore/QDir> <QtCore/QFileInfo> <QtCore/QObject> <optional> <memory>)

# Uses the precompiled header of pch_owner, or makes target its owner when there is
# none yet. -Winvalid-pch (an error with -Werror) says when the compiler cannot use it.
function(talvoren_shared_pch target pch_owner)
    if(TARGET ${pch_owner} AND NOT target STREQUAL pch_owner)
        target_precompile_headers(${target} REUSE_FROM ${pch_owner})
    else()
        target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
    target_compile_options(${target} PRIVATE -Winvalid-pch)
endfunction()

# One static library per core folder: talvoren_<name> from the folder's sources.
# Each folder is its own library so that the link lines show which way the
# dependencies point (none of them may link QtGui or QtWidgets).
function(talvoren_core_module name)
    cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    set(target talvoren_${name})
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src/core)
        set(deps)
        foreach(dep IN LISTS ARG_DEPS)
            list(APPEND deps talvoren_${dep})
        endforeach()
        target_link_libraries(${target} PUBLIC Qt6::Core ${deps} ${ARG_LIBS})
        talvoren_shared_pch(${target} talvoren_common ${TALVOREN_PCH_HEADERS})
        talvoren_strict(${target})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src/core)
    endif()
endfunction()

# One GoogleTest executable per tests/ folder: test_<name> from the folder's sources.
function(talvoren_test name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        return()
    endif()
    set(target test_${name})
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE talvoren_test_support ${ARG_LIBS} GTest::gtest)
    talvoren_shared_pch(${target} talvoren_test_support_nomain)
    talvoren_strict(${target})
    target_compile_definitions(${target} PRIVATE
        TALVOREN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TALVOREN_BINARY_DIR="${PROJECT_BINARY_DIR}"
        TALVOREN_EXIF_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/../shared/exif-samples")
    gtest_discover_tests(${target}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
