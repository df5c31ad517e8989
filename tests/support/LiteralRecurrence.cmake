# lumo_literal_recurrence: the header-only literal recurrence (LiteralRecurrence.h) that the tests
# and the benchmarks compare the cascade with. Included by tests/ and bench/, each of which may be
# built without the other; defined once.
include_guard(GLOBAL)
add_library(lumo_literal_recurrence INTERFACE)
# Included as "tests/support/LiteralRecurrence.h"; the users link the engine themselves.
target_include_directories(lumo_literal_recurrence INTERFACE ${PROJECT_SOURCE_DIR})
