/* The core library of Quorvane: product identity shared by its programs. */
#ifndef QUORVANE_CORE_H
#define QUORVANE_CORE_H

#ifdef QUORVANE_CORE_BUILD
#define QUORVANE_CORE_API __declspec(dllexport)
#else
#define QUORVANE_CORE_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* "Quorvane" */
QUORVANE_CORE_API const char* QvProductName(void);
/* "3.2.0" */
QUORVANE_CORE_API const char* QvVersion(void);
/* The version as one number, major * 10000 + minor * 100 + patch. */
QUORVANE_CORE_API int QvVersionNumber(void);

#ifdef __cplusplus
}
#endif

#endif
