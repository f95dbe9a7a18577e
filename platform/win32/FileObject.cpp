#include "FileObject.h"

#include <unistd.h>

FileObject::~FileObject() { close(m_descriptor); }
