# Every target installs what is missing first, then drives CMake with its presets.
.PHONY: deps test test-asan bench fuzz-smoke format format-check clean

CMAKE_BUILD = cmake --build --preset
FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps

test: deps
	cmake --preset dev
	$(CMAKE_BUILD) dev
	ctest --preset dev

test-asan: deps
	cmake --preset asan
	$(CMAKE_BUILD) asan
	ctest --preset asan

bench: deps
	cmake --preset release
	$(CMAKE_BUILD) release --target vantor_bench
	tests/run-isolated build/release/bench/vantor_bench --benchmark_repetitions=5 \
		--benchmark_report_aggregates_only=true

fuzz-smoke: deps
	cmake --preset fuzz
	$(CMAKE_BUILD) fuzz
	scripts/fuzz-smoke build/fuzz/fuzz $(FUZZ_SECONDS)

format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

format-check: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf build
