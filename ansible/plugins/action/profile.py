# -*- coding: utf-8 -*-
# Copyright: Tagdesk contributors
# MIT License (see LICENSE in the Tagdesk sources)
"""The profile module's controller side: the profile file goes from the
controller (decrypted when the vault encrypted it) to the managed host's
temporary folder for the task, unless remote_src says it is there already."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

from ansible.errors import AnsibleAction, AnsibleActionFail, AnsibleError
from ansible.module_utils.common.text.converters import to_text
from ansible.module_utils.parsing.convert_bool import boolean
from ansible.plugins.action import ActionBase


class ActionModule(ActionBase):

    TRANSFERS_FILES = True

    def run(self, tmp=None, task_vars=None):
        result = super(ActionModule, self).run(tmp, task_vars)
        del tmp  # has no effect since Ansible 2.5
        module_args = self._task.args.copy()
        local_copy = None
        try:
            if not module_args.get('src'):
                raise AnsibleActionFail('src is required: the profile to apply')
            if not boolean(module_args.get('remote_src', False), strict=False):
                try:
                    local_copy = self._loader.get_real_file(self._find_needle('files', module_args['src']),
                                                            decrypt=True)
                except AnsibleError as error:
                    raise AnsibleActionFail(to_text(error))
                remote = self._connection._shell.join_path(self._connection._shell.tmpdir, 'profile.toml')
                self._transfer_file(local_copy, remote)
                self._fixup_perms2((self._connection._shell.tmpdir, remote))
                module_args['src'] = remote
            result.update(self._execute_module(module_name='tagdesk.readers.profile', module_args=module_args,
                                               task_vars=task_vars))
        except AnsibleAction as error:
            result.update(error.result)
        finally:
            if local_copy:
                self._loader.cleanup_tmp_file(local_copy)
            self._remove_tmp_path(self._connection._shell.tmpdir)
        return result
