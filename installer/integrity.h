// Checks that the product executable on disk is what the setup carries.
#pragma once

bool product_file_verified(const wchar_t* path);
