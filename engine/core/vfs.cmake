# The virtual file system's back ends: zlib inflates the engine's own archive; the RAR back end
# goes through the platform's RAR library, which is part of zkplatform.
find_package(ZLIB REQUIRED)
target_link_libraries(ZeKorbEngine PUBLIC ZLIB::ZLIB)
