// Statuses and common types of the bookkeeping-suite libraries.
// Every library call that reports a status returns a long: 0 success, 5000
// the end of a walk, anything else an error (the values below).
#pragma once

#include "win32/WinTypes.h"

// Success and end of data.
#define SUITE_OK 0L
#define SUITE_EOD 5000L

// Errors of the stand-in libraries.
#define SUITE_ERR_NOSTORE 9001L   // the store is not open (no successful Initiate)
#define SUITE_ERR_STORE 9002L     // the store answered with an error
#define SUITE_ERR_PARAM 9003L     // a null pointer or a value out of range was passed
#define SUITE_ERR_NODATA 9004L    // no current dataset, or the record asked for does not exist
#define SUITE_ERR_NOTSAVED 9005L  // no saved values for the dataset
#define SUITE_ERR_CURSOR 9006L    // unknown, released or unprepared cursor
#define SUITE_ERR_NOUSER 9007L    // no current user or no selection
#define SUITE_ERR_NOMEMORY 9008L  // an object could not be made

// A cursor of a walk over a set (datasets, accounts, departments ...): an
// opaque handle that the library gives out and takes back.
struct SuiteCursorTag;
typedef SuiteCursorTag* SUITECURSOR;

// The "current data ID" that the program hands to the libraries: the address
// of the dataset record, whose first 16 bytes are the dataset's ID.
typedef const void* LPCDATAID;

// Sizes of the library records the program reads.
#define SUITE_DATAID_SIZE 16
#define SUITE_DATAINFO_SIZE 1506
#define SUITE_SHOHIZEIINFO_SIZE 20
#define SUITE_SAVETAXINFO_SIZE 24576
#define SUITE_USERID_SIZE 65
#define SUITE_IDSTR_SIZE 35
