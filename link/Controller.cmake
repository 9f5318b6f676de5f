# The accessory controller, the demonstration playback and the resource reader they load
# recordings through. Kept apart from tarno_link so the transport builds without the protocols.
add_library(tarno_controller STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AccessoryCommunicationDelegate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DemoPlayback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileResourceReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeasurementIntake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PhaseMachine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlaybackCommandSink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PowerCaptureIntake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReplyMailbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RequestMailbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SegmentAssembler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SessionRecorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsPublication.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsSnapshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsbCommandSink.cpp
)
target_link_libraries(tarno_controller PUBLIC tarno_link tarno_protocol tarno_acquisition tarno_model)
