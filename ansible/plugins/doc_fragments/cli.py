# -*- coding: utf-8 -*-
# Copyright: Tagdesk contributors
# MIT License (see LICENSE in the Tagdesk sources)
"""The options every module of tagdesk.readers takes: which tagdesk-cli it runs
and the station its frames go to."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):

    DOCUMENTATION = r'''
options:
  cli:
    description:
      - The C(tagdesk-cli) program the module runs on the managed host, by name
        (looked up on C(PATH) and in the usual folders) or by path.
      - The C(tagdesk) package installs it as C(/usr/bin/tagdesk-cli).
    type: str
    default: tagdesk-cli
  station:
    description:
      - The station address put into every frame, C(1) to C(10), or C(any)
        (whichever station is on the line answers).
      - Not given, C(tagdesk-cli) sends to any station.
    type: str
requirements:
  - The C(tagdesk) package (C(tagdesk-cli)) on the managed host.
notes:
  - The module runs C(tagdesk-cli) once for all the readers of the task, which
    talks to them all at once, each on its own link.
  - Readers are named as C(tagdesk-cli --port) names them, for example
    C(tcp:192.168.1.201), C(tcp:192.168.1.201:5000), C(COM1) or C(usb).
'''
