# Node trees and configuration are read with TinyXML (its header forces TIXML_USE_STL).
pkg_check_modules(ZK_TINYXML REQUIRED IMPORTED_TARGET tinyxml)
target_link_libraries(zkframework PUBLIC PkgConfig::ZK_TINYXML)
