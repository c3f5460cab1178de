# Helpers shared by every folder's CMakeLists.txt.

# Strict warnings on our own targets only (Qt and system headers stay quiet).
function(talvoren_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# The Qt and test headers nearly every source includes, compiled once per target:
# this roughly halves the build on a two-core machine.
set(TALVOREN_PCH_HEADERS <QtCore/QString> <QtCore/QStringList> <QtCore/QByteArray>
    <QtCore/QDateTime> <QtCore/QDir> <QtCore/QFileInfo> <QtCore/QObject> <optional> <memory>)

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
        target_precompile_headers(${target} PRIVATE ${TALVOREN_PCH_HEADERS})
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
    target_precompile_headers(${target} PRIVATE ${TALVOREN_PCH_HEADERS} <gtest/gtest.h>)
    talvoren_strict(${target})
    target_compile_definitions(${target} PRIVATE
        TALVOREN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TALVOREN_BINARY_DIR="${PROJECT_BINARY_DIR}"
        TALVOREN_EXIF_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/../shared/exif-samples")
    gtest_discover_tests(${target}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
