#pragma once

#define TOLVAR_VENDOR "kw"
#define TOLVAR_URL "https://www.example.com"
#define TOLVAR_EMAIL "mailto:info@example.com"

#define TOLVAR_PROCESSOR_NAME "kw TOLVAR Hall"
#define TOLVAR_CONTROLLER_NAME "kw TOLVAR Hall Controller"
#define TOLVAR_SUBCATEGORIES "Fx|Reverb"

#define TOLVAR_VERSION_STR "1.0.0.1"
#define TOLVAR_SDK_VERSION_STR "VST 3.7.3"
