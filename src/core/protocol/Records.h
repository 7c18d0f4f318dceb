// Every server record in one include, for code that handles several families.
#pragma once

#include "core/protocol/BaseVO.h"
#include "core/protocol/DetailRecords.h"
#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/MessageRecords.h"
