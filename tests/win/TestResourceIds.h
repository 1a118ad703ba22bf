#pragma once
#define IDS_TEST_LONG_MESSAGE 60000  // 300 characters
