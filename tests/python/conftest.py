import pytest

from cli_files import Samples


@pytest.fixture(scope="session")
def samples(tmp_path_factory):
    return Samples(str(tmp_path_factory.mktemp("samples")))
