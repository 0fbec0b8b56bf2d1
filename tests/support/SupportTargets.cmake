# What several tests share, included by tests/CMakeLists.txt: its targets of
# test code are made in the folder of the test programs, whose precompiled
# header they share.

# TempFolder.h: a private folder for the tests that keep files; SilentPorts.h:
# loopback ports that never answer, for large fleets (header only, found in the
# folder that tempfolder and simprocess give). No Qt.
add_library(tempfolder INTERFACE)
target_include_directories(tempfolder INTERFACE ${CMAKE_CURRENT_LIST_DIR})

# SimProcess: starts and stops readersim for a test or a benchmark. Tests link
# `simprocess`; READERSIM_PATH names the readersim binary built in this tree.
# Built as the product is, for the benchmarks.
add_library(simprocess STATIC ${CMAKE_CURRENT_LIST_DIR}/SimProcess.cpp)
target_include_directories(simprocess PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(simprocess PUBLIC READERSIM_PATH="$<TARGET_FILE:readersim>")
target_link_libraries(simprocess PUBLIC Threads::Threads)
add_dependencies(simprocess readersim)

# ControlFinder.h, WindowProbe.h, FormFixture.h and SimArguments.h: header-only helpers of the
# window's tests, for the tests over the test double and those over readersim alike.
# MonitorProbe.h: tag frames to send to the Tag Monitor and what it shows (its
# tests, its benchmark); TagReadingSetup.h: readersim set up through the pages
# to read tags and send them to the monitor (the end-to-end test, the pictures).
# TextFitCheck: whether every text of a window fits its control, page by page
# (the page pictures' tool uses it too).
# ControlStates: what every control of a page shows, to compare two windows.
if(TAGDESK_WITH_GUI)
  add_library(textfitcheck STATIC ${CMAKE_CURRENT_LIST_DIR}/TextFitCheck.cpp)
  target_include_directories(textfitcheck PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(textfitcheck PUBLIC Qt6::Widgets PRIVATE tagdesk_fields)
  set_target_properties(textfitcheck PROPERTIES AUTOMOC OFF)
  tagdesk_test_code(textfitcheck)
  add_library(controlstates STATIC ${CMAKE_CURRENT_LIST_DIR}/ControlStates.cpp)
  target_include_directories(controlstates PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(controlstates PUBLIC Qt6::Widgets)
  set_target_properties(controlstates PROPERTIES AUTOMOC OFF)
  tagdesk_test_code(controlstates)
  add_library(windowprobe INTERFACE)
  target_include_directories(windowprobe INTERFACE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(windowprobe INTERFACE textfitcheck controlstates Qt6::Widgets Qt6::Test)
endif()

# sim_relay: readersims for the library's tests built for Windows, which run
# under Wine and ask it for them (tests/windows).
add_executable(sim_relay ${CMAKE_CURRENT_LIST_DIR}/SimRelay.cpp)
target_link_libraries(sim_relay PRIVATE simprocess)
